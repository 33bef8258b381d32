#include "bilingualcommand.h"

#include "bilingual.h"

BilingualCommand::BilingualCommand(const Bilingual &text, const char *english, const char *chinese, int number)
    : m_english(english)
    , m_chinese(chinese)
    , m_number(number)
{
    setLanguage(text);
}

void BilingualCommand::setLanguage(const Bilingual &text)
{
    const QString name = text(m_english, m_chinese);
    setText(m_number < 0 ? name : name.arg(m_number + 1));
}
