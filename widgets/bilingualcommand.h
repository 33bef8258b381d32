#ifndef BILINGUALCOMMAND_H
#define BILINGUALCOMMAND_H

#include <QUndoCommand>

class Bilingual;

// An undo step whose name exists in English and in Chinese and follows a
// switch of language. "%1" in the names stands for the number of what the
// step is about (a window, a preset), counted from 1.
class BilingualCommand : public QUndoCommand
{
public:
    void setLanguage(const Bilingual &text);

protected:
    // number: counted from 0; -1 when the names hold no "%1".
    BilingualCommand(const Bilingual &text, const char *english, const char *chinese, int number = -1);

private:
    const char *m_english;
    const char *m_chinese;
    int m_number;
};

#endif // BILINGUALCOMMAND_H
