#include "coquille/application.h"

int main(int argc, char** argv) {
    return zapo::coquille::principal(argc, argv);
}
