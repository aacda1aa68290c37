#include "EntrySequence.h"
#include "uFrmMain.h"

int main(int argc, char *argv[])
{
    return Quellon::runEntrySequence(argc, argv, [](Quellon::TdmData &dm, Quellon::AppConfig &config) {
        return std::make_unique<Quellon::TFrmMain>(dm, config);
    });
}
