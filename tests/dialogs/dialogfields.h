#ifndef DIALOGFIELDS_H
#define DIALOGFIELDS_H

#include <qiplineedit.h>
#include <singleton_serialport.h>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QMetaProperty>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

// A table's dialog, made afresh for each row.
using MakeDialog = std::function<QDialog *()>;
Q_DECLARE_METATYPE(MakeDialog)

// The fields of a dialog as the tests name them: "object" for what it holds
// (a line edit's text, a spin box's value, a radio button's state...), or
// "object.property"; each written "name=value". And the record they show.
namespace DialogFields {

// The link the dialogs under test are given: the one the test object holds,
// named here for the rows' makers, which capture nothing of the test.
inline Singleton_SerialPort *&heldLink()
{
    static Singleton_SerialPort *held = nullptr;
    return held;
}

inline void setLink(Singleton_SerialPort *link)
{
    heldLink() = link;
}

inline Singleton_SerialPort *link()
{
    return heldLink();
}

inline QVariant read(const QObject *scope, const QString &name)
{
    const QString objectName = name.section('.', 0, 0);
    const QObject *object = scope->objectName() == objectName ? scope : scope->findChild<QObject *>(objectName);
    if (!object)
        return QStringLiteral("(none)");
    if (name.contains(QLatin1Char('.')))
        return object->property(qPrintable(name.section('.', 1)));
    if (auto *address = qobject_cast<const QIPLineEdit *>(object))
        return address->text();
    return object->metaObject()->userProperty().read(object);
}

// Each of the expected "name=value", as the dialog shows it.
inline QStringList shown(const QObject *scope, const QStringList &expected)
{
    QStringList lines;
    for (const QString &line : expected) {
        const QString name = line.section('=', 0, 0);
        lines << name + '=' + read(scope, name).toString();
    }
    return lines;
}

// Types into line edits and spin boxes as an operator does, so that their
// validators and ranges apply; sets anything else.
inline void fill(QObject *scope, const QStringList &typed)
{
    for (const QString &line : typed) {
        const QString name = line.section('=', 0, 0);
        const QString value = line.section('=', 1);
        QObject *object = scope->findChild<QObject *>(name.section('.', 0, 0));
        QVERIFY2(object, qPrintable(line));
        if (name.contains(QLatin1Char('.'))) {
            object->setProperty(qPrintable(name.section('.', 1)), value);
        } else if (auto *spin = qobject_cast<QAbstractSpinBox *>(object)) {
            spin->selectAll();
            QTest::keyClicks(spin, value);
        } else if (auto *edit = qobject_cast<QLineEdit *>(object)) {
            edit->clear();
            QTest::keyClicks(edit, value);
        } else {
            object->metaObject()->userProperty().write(object, value);
        }
    }
}

// The row's dialog, shown; null when it never appeared.
inline std::unique_ptr<QDialog> opened(const MakeDialog &make)
{
    std::unique_ptr<QDialog> dialog(make());
    dialog->show();
    if (!QTest::qWaitForWindowExposed(dialog.get()))
        dialog.reset();
    return dialog;
}

// The trimming dialogs' fields, input x, y, width and height then the
// output's, from the first named.
inline QStringList trimFields(const QStringList &values, int first = 0)
{
    static const char *const names[] = {"in_xEdit", "in_yEdit", "in_wEdit", "in_hEdit",
                                        "out_xEdit", "out_yEdit", "out_wEdit", "out_hEdit"};
    QStringList fields;
    for (int i = 0; i < values.size(); ++i)
        fields << QLatin1String(names[first + i]) + QLatin1Char('=') + values.at(i);
    return fields;
}

inline QStringList trimFields(const QList<int> &values, int first = 0)
{
    QStringList texts;
    for (int value : values)
        texts << QString::number(value);
    return trimFields(texts, first);
}

inline void click(const QObject *scope, const QString &button)
{
    auto *pushed = scope->findChild<QAbstractButton *>(button);
    QVERIFY2(pushed, qPrintable(button));
    QTest::mouseClick(pushed, Qt::LeftButton);
}

// An input card fitted in the record: its main and picture-in-picture
// signals, its mode and its first signal flag.
inline InCardEntry &fitCard(int entry, int mainSignal, int auxSignal, int mode, int flag)
{
    InCardEntry &card = link()->dm_data.inCards[size_t(entry)];
    card.present = 1;
    card.mainSignal = mainSignal;
    card.auxSignal = auxSignal;
    card.mode = mode;
    card.sigFlagA = flag;
    return card;
}

// Runs the action and returns what the dialog said meanwhile: the text of
// a message box it showed (which is then accepted), or of its banner.
inline QString saidDuring(const QWidget *dialog, const std::function<void()> &action)
{
    QString said;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&said] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            said = box->text();
            box->accept();
        }
    });
    answerer.start(10);
    action();
    const QWidget *banner = dialog->findChild<QWidget *>(QStringLiteral("navLabel"));
    return said.isEmpty() && banner && banner->isVisible() ? banner->property("text").toString() : said;
}

} // namespace DialogFields

#endif // DIALOGFIELDS_H
