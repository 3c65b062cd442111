#pragma once

// Checks of a window's layout that catch real faults instead of restating the design: a caption
// cut off by its control, controls lying on one another or reaching out of their parent, a tab
// order other than the designed one, a control missing or renamed. Each check gives the faults it
// found as readable lines (empty when there are none), for QVERIFY2(faults.isEmpty(), ...).

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOption>
#include <QTabWidget>
#include <QWidget>

#include <utility>
#include <vector>

namespace tarvela::test {

namespace detail {

inline QString Describe(const QWidget* w) {
    return QStringLiteral("%1 %2").arg(QLatin1String(w->metaObject()->className()),
                                       w->objectName().isEmpty() ? QStringLiteral("(unnamed)")
                                                                 : w->objectName());
}

inline QString Place(const QWidget* w) {
    const QRect r = w->geometry();
    return QStringLiteral(" (%1, %2, %3 x %4)")
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height());
}

inline int TextWidth(const QFontMetrics& fm, const QString& text) {
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = qMax(widest, fm.horizontalAdvance(QString(line).remove(QLatin1Char('&'))));
    return widest;
}

// The widgets whose children are laid out by hand: the window, plain containers, group boxes
// and the pages of tab controls. Compound controls (lists, spin boxes, tab bars) are left alone.
inline std::vector<QWidget*> Containers(QWidget* window) {
    std::vector<QWidget*> found{window};
    for (std::size_t i = 0; i < found.size(); ++i) {
        for (QObject* o : found[i]->children()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (!w || w->isWindow())
                continue;
            if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
                for (int page = 0; page < tabs->count(); ++page)
                    found.push_back(tabs->widget(page));
            } else if (qobject_cast<QGroupBox*>(w) ||
                       w->metaObject() == &QWidget::staticMetaObject) {
                found.push_back(w);
            }
        }
    }
    return found;
}

// The visible controls a container places itself; plain frames drawn behind controls (bands,
// bevels) are decoration, not controls.
inline std::vector<QWidget*> PlacedControls(QWidget* container) {
    std::vector<QWidget*> controls;
    for (QObject* o : container->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->isWindow() || w->isHidden() || w->metaObject() == &QFrame::staticMetaObject)
            continue;
        controls.push_back(w);
    }
    return controls;
}

} // namespace detail

// Every caption of a label, push button, check box, radio button or group box fits its control:
// its text, measured in the control's own font, fits the space the style gives the text.
inline QStringList CaptionsThatDoNotFit(QWidget* window) {
    QStringList faults;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isHidden())
            continue;
        const QFontMetrics fm(w->font());
        int needed = 0;
        int room = 0;
        QString text;
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (label->wordWrap() || label->text().isEmpty() || label->textFormat() == Qt::RichText)
                continue;
            text = label->text();
            needed = detail::TextWidth(fm, text);
            room = label->contentsRect().width() - 2 * label->margin() - qMax(0, label->indent());
            if (label->height() < fm.height())
                faults << QStringLiteral("%1: caption \"%2\" is %3 px high, the control %4 px")
                              .arg(detail::Describe(w), text)
                              .arg(fm.height())
                              .arg(label->height());
        } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
            if (box->title().isEmpty())
                continue;
            text = box->title();
            QStyleOptionGroupBox option;
            option.initFrom(box);
            option.text = box->title();
            option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
            option.lineWidth = 1;
            const QRect label = box->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                             QStyle::SC_GroupBoxLabel, box);
            needed = label.right() + 1;
            room = box->width();
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            if (button->text().isEmpty())
                continue;
            text = button->text();
            needed = detail::TextWidth(fm, text);
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            QStyle::SubElement contents = QStyle::SE_PushButtonContents;
            if (qobject_cast<QCheckBox*>(button))
                contents = QStyle::SE_CheckBoxContents;
            else if (qobject_cast<QRadioButton*>(button))
                contents = QStyle::SE_RadioButtonContents;
            else if (!qobject_cast<QPushButton*>(button))
                continue; // tool buttons show icons
            room = button->style()->subElementRect(contents, &option, button).width();
        } else {
            continue;
        }
        if (needed > room)
            faults << QStringLiteral("%1: caption \"%2\" needs %3 px, has %4 px")
                          .arg(detail::Describe(w), text)
                          .arg(needed)
                          .arg(room);
    }
    return faults;
}

// No two visible controls placed in the same container overlap, and none reaches out of its
// container.
inline QStringList OverlappingControls(QWidget* window) {
    QStringList faults;
    for (QWidget* container : detail::Containers(window)) {
        const std::vector<QWidget*> controls = detail::PlacedControls(container);
        for (std::size_t i = 0; i < controls.size(); ++i) {
            const QRect a = controls[i]->geometry();
            if (!container->rect().contains(a))
                faults << QStringLiteral("%1 reaches out of %2")
                              .arg(detail::Describe(controls[i]), detail::Describe(container));
            for (std::size_t j = i + 1; j < controls.size(); ++j) {
                // A page control stacked over what the idle window shows covers it whole while
                // it is open: nothing shows through, so nothing clashes.
                if (qobject_cast<QTabWidget*>(controls[j]) && controls[j]->geometry().contains(a))
                    continue;
                if (a.intersects(controls[j]->geometry()))
                    faults << QStringLiteral("%1 and %2 overlap: %3 and %4")
                                  .arg(detail::Describe(controls[i]), detail::Describe(controls[j]),
                                       detail::Place(controls[i]), detail::Place(controls[j]));
            }
        }
    }
    return faults;
}

// The names of the window's controls in the order Tab visits them, from `first` round to the
// control before it again: only named controls that take the focus by Tab.
inline QStringList TabOrder(QWidget* window, QWidget* first) {
    QStringList names;
    QWidget* w = first;
    do {
        if (w->window() == window && (w->focusPolicy() & Qt::TabFocus) &&
            !w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
            names << w->objectName();
        w = w->nextInFocusChain();
    } while (w && w != first);
    return names;
}

// The faults of a designed tab order: what differs between the order Tab visits the named
// controls and `designed` (which starts at its first name).
inline QStringList TabOrderFaults(QWidget* window, const QStringList& designed) {
    auto* first = designed.isEmpty() ? nullptr : window->findChild<QWidget*>(designed.front());
    if (!first)
        return {QStringLiteral("no control %1 to start the tab order").arg(designed.value(0))};
    QStringList visited = TabOrder(window, first);
    QStringList relevant;
    for (const QString& name : visited)
        if (designed.contains(name))
            relevant << name;
    if (relevant == designed)
        return {};
    return {QStringLiteral("tab order is %1, designed %2")
                .arg(relevant.join(QStringLiteral(", ")), designed.join(QStringLiteral(", ")))};
}

// The controls named in `expected` (class, object name) that the window lacks.
inline QStringList MissingControls(QWidget* window,
                                   const std::vector<std::pair<const char*, QString>>& expected) {
    QStringList faults;
    for (const auto& [className, name] : expected) {
        bool found = false;
        for (QObject* o : window->findChildren<QObject*>(name))
            found = found || o->inherits(className);
        if (!found)
            faults << QStringLiteral("no %1 named %2").arg(QLatin1String(className), name);
    }
    return faults;
}

// Every button, check box and radio button with a caption carries one mnemonic ("&Datum"), and no
// two of them, nor the titles of the window's menu bar, share a letter. Exempt are the buttons
// named in `exempt` (Ok and Storno answer Enter and Escape) and the "..." pickers.
inline QStringList MnemonicFaults(QWidget* window, const QStringList& exempt) {
    QStringList faults;
    QList<QPair<QChar, QString>> taken;
    auto take = [&](const QString& text, const QString& who) {
        const qsizetype amp = text.indexOf(QLatin1Char('&'));
        if (amp < 0 || amp + 1 >= text.size() || text.count(QLatin1Char('&')) != 1) {
            faults << QStringLiteral("%1 \"%2\" has no mnemonic").arg(who, text);
            return;
        }
        const QChar letter = text.at(amp + 1).toLower();
        for (const auto& [other, owner] : taken) {
            if (other == letter)
                faults << QStringLiteral("%1 and %2 share Alt+%3").arg(owner, who, QString(letter));
        }
        taken.append({letter, who});
    };
    if (auto* main = qobject_cast<QMainWindow*>(window)) {
        for (const QAction* menu : main->menuBar()->actions())
            take(menu->text(), QStringLiteral("menu"));
    }
    for (const QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
        const bool captioned = qobject_cast<const QPushButton*>(b) ||
                               qobject_cast<const QCheckBox*>(b) ||
                               qobject_cast<const QRadioButton*>(b);
        if (!captioned || b->window() != window || b->isHidden() || b->text().isEmpty() ||
            b->text() == QLatin1String("...") || exempt.contains(b->objectName()))
            continue;
        take(b->text(), detail::Describe(b));
    }
    return faults;
}

// Captions, overlaps and tab order in one go.
inline QStringList LayoutFaults(QWidget* window, const QStringList& designedTabOrder) {
    QStringList faults = CaptionsThatDoNotFit(window);
    faults << OverlappingControls(window);
    if (!designedTabOrder.isEmpty())
        faults << TabOrderFaults(window, designedTabOrder);
    return faults;
}

} // namespace tarvela::test
