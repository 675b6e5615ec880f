// The program as the whole-program tests and the start-up benchmark run it: the
// installed program plus journals of boxes and views and the start-up measure.
// Never installed.
#include "coquille/application.h"
#include "crochets/journal_boites.h"
#include "crochets/mesure_demarrage.h"
#include "crochets/releve_vues.h"

int main(int argc, char** argv) {
    zapo::coquille::crochets_programme c;
    c.au_demarrage = zapo::crochets::mesurer_demarrage_si_demande;
    c.boites = zapo::crochets::journaliser_boite;
    c.vues = zapo::crochets::ecrire_releve_vues;
    return zapo::coquille::principal(argc, argv, c);
}
