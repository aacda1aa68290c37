#pragma once

#include <QString>

namespace Quellon {

// Qt's own words — file dialogs, standard buttons, a field's context menu —
// in the language of the program: Qt ships them in English and translates
// them only when its catalogues are loaded.
class SystemTranslations
{
public:
    // Where Qt's catalogues are installed.
    static QString folder();

    // Makes Simplified Chinese the default locale and loads Qt's Chinese
    // catalogues (qtbase_zh_CN, and qt_zh_CN where present) into the running
    // application. False when the catalogue of Qt's base module is missing:
    // the program then runs with Qt's texts in English.
    static bool installChinese();
};

} // namespace Quellon
