#include "journalcsv.h"

#include <QIODevice>
#include <QSaveFile>
#include <QStringList>

namespace {

const char *const Header = "id,time,who,who_detail,processor,processor_name,kind,what,result,detail";

QString row(const JournalEntry &entry)
{
    const QStringList fields{QString::number(entry.id),
                             entry.time.toUTC().toString(Qt::ISODateWithMs),
                             JournalEntry::key(entry.who),
                             entry.whoDetail,
                             QString::number(entry.processor),
                             entry.processorName,
                             entry.kind,
                             entry.what,
                             JournalEntry::key(entry.result),
                             entry.detail};
    QStringList quoted;
    for (const QString &text : fields)
        quoted << JournalCsv::field(text);
    return quoted.join(QLatin1Char(','));
}

} // namespace

QString JournalCsv::field(const QString &text)
{
    QString value = text;
    // Texts come from remote clients too: a spreadsheet would run one
    // starting like a formula (=, +, -, @, or a tab or carriage return
    // before one), so such a text is made plain by a leading apostrophe.
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!value.isEmpty() && formulaStarts.contains(value.at(0)))
        value.prepend(QLatin1Char('\''));
    if (!value.contains(QLatin1Char(',')) && !value.contains(QLatin1Char('"')) && !value.contains(QLatin1Char('\n'))
        && !value.contains(QLatin1Char('\r')))
        return value;
    value.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + value + QLatin1Char('"');
}

QByteArray JournalCsv::toCsv(const QList<JournalEntry> &entries)
{
    QByteArray csv("\xEF\xBB\xBF");
    csv += Header;
    csv += "\r\n";
    for (const JournalEntry &entry : entries) {
        csv += row(entry).toUtf8();
        csv += "\r\n";
    }
    return csv;
}

bool JournalCsv::write(const QList<JournalEntry> &entries, QIODevice *device)
{
    const QByteArray csv = toCsv(entries);
    return device->write(csv) == csv.size();
}

bool JournalCsv::write(const QList<JournalEntry> &entries, const QString &path)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && write(entries, &file) && file.commit();
}
