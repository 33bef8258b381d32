#ifndef BUTTONBOXTEXTS_H
#define BUTTONBOXTEXTS_H

class Bilingual;
class QDialogButtonBox;

// The standard buttons of a dialog in the window's language: the program
// installs no Qt translation, so Qt would label them in English.
class ButtonBoxTexts
{
public:
    static void apply(QDialogButtonBox *box, const Bilingual &text);
};

#endif // BUTTONBOXTEXTS_H
