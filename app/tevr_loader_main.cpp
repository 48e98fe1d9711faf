// tevr-loader: the desktop program that loads firmware into the ТЕВР-R7 on-board computer.
#include "app/Startup.h"

int main(int argc, char** argv) {
    return RunTevrLoader(argc, argv);
}
