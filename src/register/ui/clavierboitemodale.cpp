#include "register/ui/clavierboitemodale.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>
#include <xcb/xproto.h>

ClavierBoiteModale::ClavierBoiteModale() {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

ClavierBoiteModale::~ClavierBoiteModale() {
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool ClavierBoiteModale::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (type != QByteArrayLiteral("xcb_generic_event_t"))
        return false;
    auto* evenement = static_cast<xcb_generic_event_t*>(message);
    const uint8_t genre = evenement->response_type & 0x7f;
    if (genre != XCB_KEY_PRESS && genre != XCB_KEY_RELEASE)
        return false;
    QWindow* boite = QGuiApplication::modalWindow();
    if (!boite || !boite->isVisible() || !boite->handle())
        return false;
    // Key press and release events share their layout.
    auto* touche = reinterpret_cast<xcb_key_press_event_t*>(evenement);
    const auto versLaBoite = static_cast<xcb_window_t>(boite->winId());
    if (touche->event == versLaBoite)
        return false;
    // Only keys meant for another of the program's windows, which the box blocks.
    for (QWindow* fenetre : QGuiApplication::topLevelWindows())
        if (fenetre != boite && fenetre->handle() &&
            static_cast<xcb_window_t>(fenetre->winId()) == touche->event &&
            !boite->isAncestorOf(fenetre)) {
            touche->event = versLaBoite;
            break;
        }
    return false;
}
