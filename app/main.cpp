// The velmora program: one instance per user, the launch sequence, then the event loop.
#include "app/Launch.hpp"

int main(int argc, char** argv) {
    return velmora::runApplication(argc, argv);
}
