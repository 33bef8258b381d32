#include "buttonboxtexts.h"

#include "bilingual.h"

#include <QDialogButtonBox>
#include <QPushButton>

void ButtonBoxTexts::apply(QDialogButtonBox *box, const Bilingual &text)
{
    struct Label
    {
        QDialogButtonBox::StandardButton button;
        const char *english;
        const char *chinese;
    };
    static const Label labels[] = {
        {QDialogButtonBox::Ok, "OK", "确定"},       {QDialogButtonBox::Cancel, "Cancel", "取消"},
        {QDialogButtonBox::Close, "Close", "关闭"}, {QDialogButtonBox::Apply, "Apply", "应用"},
        {QDialogButtonBox::Yes, "Yes", "是"},       {QDialogButtonBox::No, "No", "否"},
    };
    for (const Label &label : labels) {
        if (QPushButton *button = box->button(label.button))
            button->setText(text(label.english, label.chinese));
    }
}
