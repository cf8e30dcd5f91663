#pragma once

#include "common/resultat.h"

#include <QString>

// A lock held on a file (flock): the system releases it when the process that holds it ends,
// however it ends, so a lock file left behind (empty, damaged, copied from another machine)
// never blocks anyone. The file itself is only the place of the lock; its content is not read.
class VerrouFichier {
  public:
    explicit VerrouFichier(QString chemin) : chemin_(std::move(chemin)) {}
    ~VerrouFichier();
    VerrouFichier(const VerrouFichier&) = delete;
    VerrouFichier& operator=(const VerrouFichier&) = delete;

    // Takes the lock at once if it is free: true when taken, false when another program (or
    // another lock of this one) holds it. Fails, with the reason, when the file cannot be opened.
    Resultat<bool> essayer();
    // Takes the lock, waiting for as long as another holds it.
    Resultat<> attendre();
    void liberer();
    bool pris() const { return descripteur_ >= 0; }
    const QString& chemin() const { return chemin_; }

  private:
    Resultat<bool> prendre(bool sansAttendre);

    QString chemin_;
    int descripteur_ = -1;
};
