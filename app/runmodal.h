#ifndef RUNMODAL_H
#define RUNMODAL_H

#include <QDialog>

// Runs a dialog made for one showing modally; it deletes itself on close.
inline void runModal(QDialog *dialog)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->exec();
}

#endif // RUNMODAL_H
