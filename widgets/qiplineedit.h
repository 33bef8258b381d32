#ifndef QIPLINEEDIT_H
#define QIPLINEEDIT_H

#include <QLineEdit>
#include <QList>

// An IPv4 address editor: four octet fields inside a read-only line edit
// that draws the frame and the dots between them. The arrow keys and
// backspace move between fields at their edges; a digit that cannot fit
// moves on to the next field.
class QIPLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit QIPLineEdit(QWidget *parent = nullptr);

    // Fills the fields from a dotted address; anything else changes nothing.
    void setText(const QString &ip);
    // The four field texts joined by dots (an empty field gives an empty part).
    QString text() const;

signals:
    void charge();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void handleKey(int index, int key);

    QList<QLineEdit *> m_octetEdits;
};

#endif // QIPLINEEDIT_H
