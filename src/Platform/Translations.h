#pragma once

#include <QString>

class QCoreApplication;
class QTranslator;

namespace quorrin {

// Qt's own texts (standard buttons, file dialogs, the text's edit actions) in
// Simplified Chinese, like the rest of the interface.
namespace translations {

// The directory holding Qt's translations.
QString qtTranslationsDirectory();

// Loads qtbase's Simplified Chinese translation into `translator` and
// installs it on the application; false when the file is missing.
bool installQtChinese(QCoreApplication& application, QTranslator& translator);

} // namespace translations

} // namespace quorrin
