#pragma once

#include <QDialog>
#include <QList>
#include <QRadioButton>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>

#include "settings/settings_file.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace Ui {
class TKonfig;
}

namespace tarvela {

// A spin control bound to a read-only edit that shows its position: two arrow buttons, a range
// without wrap-around and auto-repeat while a button is held. The Up and Down keys step it when
// it or its edit has the focus. Each step first announces itself (changing), then moves the
// position within the range and reports the click, also when the position stays at a limit.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    explicit TUpDown(QWidget* parent = nullptr);

    void SetRange(int min, int max);
    int Min() const { return min_; }
    int Max() const { return max_; }

    // The position, always within the range; a value outside it is clamped.
    int Position() const { return position_; }
    void SetPosition(int value);

    // The edit that shows the position (the "associate").
    void SetBuddy(QLineEdit* edit);
    QLineEdit* Buddy() const { return buddy_; }

    // One step up (+1) or down (-1), as a click on an arrow does.
    void Step(int delta);

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

signals:
    void changing(int delta); // before a step moves the position
    void clicked(int delta);  // after a step

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowPosition();
    void ShowFocus(bool on);

    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    QLineEdit* buddy_ = nullptr;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
};

// An item of the symbol-type group: a click anywhere on its row selects it.
class RadioItem : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

// The settings dialog: the general settings on the page "Obecné" and the supplier's data on the
// page "Údaje dodavatele". It shows a copy of the settings it is given; Ok saves them to the
// settings file of the program folder and only then takes them over; Storno changes nothing.
//
// A value of the settings file outside the range of its spin control (rates 1..99, days 0..90)
// is shown clamped; it is saved clamped only when the user stepped that spin control, otherwise
// the value from the file is saved back as it was.
class TKonfig : public QDialog {
    Q_OBJECT
public:
    TKonfig(const AppSettings& settings, const QString& programFolder, QWidget* parent = nullptr);
    ~TKonfig() override;

    // The settings as given, or the saved ones once Ok has succeeded.
    const AppSettings& Settings() const { return settings_; }
    // True once Ok has saved the settings.
    bool Saved() const { return saved_; }

    // Index of the selected symbol type (0 constant, 1 variable).
    int TypSymboluIndex() const;

    // Opens on page 0 (general) or 1 (supplier, with the focus in the name).
    void ShowPage(int page);

    // ---- Handlers ---------------------------------------------------------------------------
    void Ed_NazevChange();
    // Enter in a supplier edit: consumed, the focus moves on. True when the key was consumed.
    bool Ed_NazevKeyPress(int key);
    void PlatceClick();
    void PohyblivaCastCislaClick(TUpDown* control);
    void DobaSplatnostiChanging();
    void RBox_TypSymboluClick();
    void StornoClick();
    void OkClick();

signals:
    // Emitted by Ok right after the settings are saved and taken over, before the period folder
    // is created: the owner copies them and refreshes what shows them.
    void settingsSaved(const tarvela::AppSettings& saved);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void ConnectHandlers();
    void FormCreate();
    void EnableRateControls(bool on);
    // The value to save for a spin control: its position once the user stepped it, otherwise the
    // value it was filled with.
    int SpinValue(const TUpDown* control, int original) const;

    std::unique_ptr<Ui::TKonfig> ui_;
    // The sixteen supplier edits in the order of kSupplierFields (their tab order).
    std::array<QLineEdit*, 16> supplierEdits_{};
    AppSettings settings_;
    QString programFolder_;
    bool saved_ = false;
    QButtonGroup* symbolGroup_ = nullptr;
    QList<const TUpDown*> stepped_;            // spin controls the user has stepped
    class EetSettingsPage* eetPage_ = nullptr; // the page "EET" (src/gui/eet)
};

} // namespace tarvela
