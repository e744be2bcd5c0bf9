#include "Platform/InterfaceLocale.h"

#include <cstring>

namespace quorrin::interfacelocale {

QLocale locale()
{
    return QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China);
}

void makeDefault()
{
    QLocale::setDefault(locale());
}

SystemLocaleOverride::SystemLocaleOverride()
{
    if (qEnvironmentVariableIsSet(variable))
        m_before = qgetenv(variable);
    qputenv(variable, value);
}

SystemLocaleOverride::~SystemLocaleOverride()
{
    if (m_before)
        qputenv(variable, *m_before);
    else
        qunsetenv(variable);
}

QString FileKindTexts::translate(const char* context, const char* sourceText, const char*, int) const
{
    if (!context || !sourceText || std::strcmp(context, "QAbstractFileIconProvider") != 0)
        return {};
    struct Text {
        const char* source;
        const char16_t* chinese;
    };
    constexpr Text texts[] = {
        {"Folder", u"文件夹"}, {"Drive", u"驱动器"}, {"Alias", u"替身"}, {"Shortcut", u"快捷方式"}, {"Unknown", u"未知"},
    };
    for (const Text& text : texts) {
        if (std::strcmp(text.source, sourceText) == 0)
            return QString::fromUtf16(text.chinese);
    }
    return {};
}

} // namespace quorrin::interfacelocale
