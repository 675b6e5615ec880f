#pragma once

#include <QString>

// Start at login, through an XDG autostart entry named after the product.
namespace zapo::plateforme {

// $XDG_CONFIG_HOME/autostart/Zapo-TV.desktop (default ~/.config/autostart).
QString chemin_entree();

// The entry's text for the given program file and icon.
QString contenu_entree(const QString& programme, const QString& icone);

// The icon the entry names for a program in `dossier_executable`: the
// launcher's, from the icon theme, when installed; else the picture the
// program lays down itself under "zapo-tv".
QString nom_icone(const QString& dossier_executable);

// Quoting of a program path for an Exec key, as Desktop Entry files require.
QString citer_exec(const QString& programme);

// Writes the entry for the program file that is running (its real path, links
// resolved). A failure is only reported on standard error: the option still
// takes effect for this session. Returns false then.
bool inscrire_demarrage(const QString& icone = QStringLiteral("zapo-tv"));
// Deletes it; a missing entry is not an error.
void retirer_demarrage();

} // namespace zapo::plateforme
