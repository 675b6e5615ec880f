#include "dossier_essai.h"

#include <QFile>

namespace zapo::essais {

QString chemin_base_livree() { return QStringLiteral(ZAPO_BASE_LIVREE_CHEMIN); }

dossier_essai::dossier_essai() {
    ok_ = dir_.isValid() && QFile::copy(chemin_base_livree(), base());
    if (ok_)
        QFile(base()).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace zapo::essais
