#pragma once

#include <QAbstractNativeEventFilter>

// Keys that arrive while a box is being shown go to the box. Between the moment a box is shown
// and the moment the window manager gives it the keyboard, the window system still sends the
// keys to the main window, which the box already blocks: Qt drops them, and the start of a scan
// typed then would be lost. Under X11 such a key is sent on to the box, where the till sees it.
class ClavierBoiteModale : public QAbstractNativeEventFilter {
  public:
    ClavierBoiteModale();
    ~ClavierBoiteModale() override;
    ClavierBoiteModale(const ClavierBoiteModale&) = delete;
    ClavierBoiteModale& operator=(const ClavierBoiteModale&) = delete;

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* resultat) override;
};
