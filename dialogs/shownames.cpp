#include "shownames.h"

#include <devicelimits.h>

#include <QComboBox>

void ShowNames::fillProcessors(QComboBox *box, int current) const
{
    box->clear();
    for (int i = 0; i < processors.size(); ++i)
        box->addItem(QStringLiteral("%1 %2").arg(i + 1).arg(processors.at(i)), i);
    if (current >= processors.size())
        box->addItem(QString::number(current + 1), current);
    box->setCurrentIndex(box->findData(current));
}

void ShowNames::fillPresets(QComboBox *box, int processor) const
{
    const int current = box->currentIndex();
    const QStringList names = presets.value(processor);
    box->clear();
    for (int preset = 0; preset < Limits::Presets; ++preset) {
        const QString name = names.value(preset);
        const QString code = QStringLiteral("M%1").arg(preset + 1);
        box->addItem(name.isEmpty() ? code : code + QLatin1Char(' ') + name, preset);
    }
    box->setCurrentIndex(qMax(current, 0));
}

void ShowNames::fillNames(QComboBox *box, const QStringList &names, const QString &current)
{
    box->clear();
    box->addItems(names);
    if (!current.isEmpty() && !names.contains(current))
        box->addItem(current);
    box->setCurrentIndex(box->findText(current));
    if (box->currentIndex() < 0 && box->count() > 0)
        box->setCurrentIndex(0);
}
