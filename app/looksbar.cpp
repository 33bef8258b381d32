#include "looksbar.h"

#include "applog.h"
#include "mainwindow.h"
#include "onairmodel.h"
#include "presetlabel.h"

#include <appdirectory.h>
#include <lookrecall.h>
#include <lookstore.h>
#include <singleton_serialport.h>

#include <QAction>
#include <QInputDialog>
#include <QMenu>
#include <QToolBar>

#include <algorithm>

LooksBar::LooksBar(QToolBar *bar, const QString &path, QObject *parent)
    : QObject(parent)
    , m_bar(bar)
    , m_menu(new QMenu)
    , m_removeMenu(new QMenu(m_menu))
    , m_storeAction(new QAction(this))
    , m_path(path)
{
    m_menu->setObjectName(QStringLiteral("menuLooks"));
    connect(m_storeAction, &QAction::triggered, this, &LooksBar::askToStore);
    connect(this, &QObject::destroyed, m_menu, &QObject::deleteLater);
    setEnglish(false);
}

void LooksBar::setProcessors(const QList<MainWindow *> &windows, const QList<LookTarget *> &targets,
                             const QStringList &names)
{
    const bool first = m_windows.isEmpty();
    m_windows = windows;
    m_targets = targets;
    m_names = names;
    for (MainWindow *window : windows)
        connect(window->onAir(), &OnAirModel::changed, this, &LooksBar::updateMarks, Qt::UniqueConnection);
    if (first)
        load();
    else
        dropMissingProcessors();
}

// A processor removed leaves the looks with the others' presets; a look
// left with none goes.
void LooksBar::dropMissingProcessors()
{
    const int processors = m_windows.size();
    bool changed = false;
    for (Look &look : m_looks) {
        const auto missing = std::remove_if(look.entries.begin(), look.entries.end(),
                                            [processors](const Look::Entry &entry) { return entry.processor >= processors; });
        changed = changed || missing != look.entries.end();
        look.entries.erase(missing, look.entries.end());
    }
    m_looks.erase(std::remove_if(m_looks.begin(), m_looks.end(), [](const Look &look) { return look.entries.isEmpty(); }),
                  m_looks.end());
    if (changed)
        save();
    rebuild();
}

void LooksBar::setEnglish(bool english)
{
    m_text.setEnglish(english);
    m_menu->setTitle(m_text("Looks", "场景组"));
    m_removeMenu->setTitle(m_text("Remove Look", "删除场景组"));
    m_storeAction->setText(m_text("Store Look of the Presets on Air...", "存储当前播出为场景组..."));
    m_bar->setWindowTitle(m_text("Looks", "场景组"));
    rebuild();
}

void LooksBar::load()
{
    const LookStore::Loaded loaded = LookStore::read(m_path, m_windows.size());
    m_looks = loaded.looks;
    if (!loaded.errors.isEmpty())
        emit said(loaded.errors.join(QLatin1Char('\n')), true);
    rebuild();
}

bool LooksBar::save()
{
    return AppDirectory::mayWrite(m_path) && LookStore::write(m_path, m_looks);
}

void LooksBar::rebuild()
{
    qDeleteAll(m_lookActions);
    m_lookActions.clear();
    m_menu->clear();
    m_removeMenu->clear();
    m_menu->addAction(m_storeAction);
    m_menu->addMenu(m_removeMenu);
    m_removeMenu->setEnabled(!m_looks.isEmpty());
    m_menu->addSeparator();
    for (int i = 0; i < m_looks.size(); ++i) {
        auto *action = new QAction(m_looks.at(i).name, this);
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, i] { report(recall(i)); });
        m_lookActions << action;
        m_menu->addAction(action);
        m_bar->addAction(action);
        m_removeMenu->addAction(m_looks.at(i).name, this, [this, i] { remove(i); });
    }
    m_bar->setVisible(!m_looks.isEmpty());
    updateMarks();
}

// Checked: every processor of the look shows its preset; "(some)": a few.
void LooksBar::updateMarks()
{
    for (int i = 0; i < m_lookActions.size(); ++i) {
        const Look &look = m_looks.at(i);
        int shown = 0;
        for (const Look::Entry &entry : look.entries) {
            const MainWindow *window = m_windows.value(entry.processor);
            shown += window && window->onAir()->onAir() == entry.preset ? 1 : 0;
        }
        QAction *action = m_lookActions.at(i);
        action->setChecked(shown == look.entries.size());
        action->setText(shown > 0 && shown < look.entries.size()
                            ? look.name + m_text(" (some on air)", "（部分播出）")
                            : look.name);
    }
}

LookRecall *LooksBar::recall(int look, RemoteActions::Origin origin, const QString &by)
{
    auto *recall = new LookRecall(m_looks.at(look), m_targets, this);
    recall->start();
    recall->whenFinished(this, [this, recall, origin, by] {
        emit recalled(recall, origin, by);
        recall->deleteLater();
    });
    updateMarks();
    return recall;
}

void LooksBar::report(LookRecall *recall)
{
    auto say = [this, recall] {
        QStringList parts;
        for (const LookRecall::Outcome &outcome : recall->outcomes()) {
            parts << m_names.value(outcome.processor) + QLatin1Char(' ')
                         + presetLabel(m_windows.value(outcome.processor)->link()->dm_data, outcome.preset)
                         + QStringLiteral(": ") + LookRecall::resultName(outcome.result);
        }
        qCInfo(lcApp) << "look" << recall->look().name << parts;
        emit said(m_text("Look %1: %2", "场景组 %1：%2").arg(recall->look().name, parts.join(QStringLiteral("; "))),
                  !recall->succeeded());
        updateMarks();
    };
    recall->whenFinished(this, say);
}

QString LooksBar::store(const QString &name)
{
    Look look{name, {}};
    for (int i = 0; i < m_windows.size(); ++i) {
        const int onAir = m_windows.at(i)->onAir()->onAir();
        if (onAir >= 0)
            look.entries.append({i, onAir});
    }
    return keep(look);
}

QString LooksBar::keep(Look look)
{
    look.name = look.name.trimmed();
    QString reason = LookStore::check(look, m_looks, m_windows.size());
    if (!reason.isEmpty())
        return reason;
    m_looks.append(look);
    if (!save()) {
        m_looks.removeLast();
        return m_text("The file could not be saved", "文件无法保存");
    }
    rebuild();
    return {};
}

void LooksBar::remove(int look)
{
    const Look removed = m_looks.takeAt(look);
    if (!save())
        m_looks.insert(look, removed);
    rebuild();
}

void LooksBar::askToStore()
{
    bool ok = false;
    const QString name = QInputDialog::getText(m_bar->window(), m_text("Store Look", "存储场景组"),
                                               m_text("Name of the look:", "场景组名称："), QLineEdit::Normal,
                                               QString(), &ok);
    if (!ok)
        return;
    const QString reason = store(name);
    if (!reason.isEmpty())
        emit said(reason, true);
}
