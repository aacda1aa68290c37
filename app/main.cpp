#include "EntrySequence.h"
#include "MainWindow.h"

int main(int argc, char *argv[])
{
    return Quellon::runEntrySequence(argc, argv, [](Quellon::Database &dm, Quellon::AppConfig &config) {
        return std::make_unique<Quellon::MainWindow>(dm, config);
    });
}
