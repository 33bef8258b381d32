#ifndef BILINGUAL_H
#define BILINGUAL_H

#include <QString>

// Every text of the interface exists in English and in Chinese; one of
// them is chosen by the language the window was made in. The literals are
// UTF-8.
class Bilingual
{
public:
    explicit Bilingual(bool english = false) : m_english(english) {}

    bool english() const { return m_english; }
    void setEnglish(bool english) { m_english = english; }

    QString operator()(const char *english, const char *chinese) const
    {
        return QString::fromUtf8(m_english ? english : chinese);
    }

private:
    bool m_english;
};

#endif // BILINGUAL_H
