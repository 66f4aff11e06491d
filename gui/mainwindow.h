#pragma once
// The main window: every entry form, slider and switch of the workbench. It holds no colour
// logic: it forwards the user's actions to the Workbench and repaints from its state.
#include "workbench/colourtexts.h"
#include "workbench/workbench.h"

#include <QMainWindow>

#include <array>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace zul {

class ManualWindow;
class Swatch;
namespace instruments {
class InstrumentPanel;
}

// The text of the "Help" box; its lines are separated by CR alone.
QString helpText();

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Workbench& workbench, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The smallest size the window's contents take without scrolling.
    QSize contentMinimumSize() const;
    // The contents' own size (polished), which the window opens at where the screen allows.
    QSize sizeHint() const override;

    // The current colour on the clipboard ("Copy as", Ctrl+Shift+C).
    void copyColour(CopyForm form);
    // A colour text from the clipboard into the form of `f`; false when it holds none.
    bool pasteColour(Field f);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildHeader();
    QGroupBox* buildForms();
    QGroupBox* buildSliders();
    QWidget* buildStatusColumn();
    QGroupBox* buildIlluminant();
    QGroupBox* buildSwitches();
    QGroupBox* buildInstrument();
    QWidget* buildMessages();
    QWidget* buildButtons();
    QLineEdit* makeField(Field f, const char* objectName);
    QLabel* makeCaption(const QString& text, QWidget* buddy = nullptr);
    QSlider* makeSlider(Slider s, const char* objectName);
    void setTabOrder();
    void addShortcuts();     // Ctrl+S, Ctrl+P, Ctrl+E, F1, Ctrl+Q, Ctrl+Shift+C
    void describeControls(); // mnemonics, tooltips and accessible names
    void bindInstrument();   // the instrument group's controls to its panel model
    void showInstrument();

    void refresh();
    void applyTint();
    void showSwatch(int r, int g, int b);
    void showMessage(const QString& text);
    void showStaleMarks();
    void showHelp();
    void showManual(); // "User manual"
    void print();

    Workbench& m_workbench;
    std::array<QLineEdit*, static_cast<int>(Field::Count)> m_fields{};
    std::array<QSlider*, static_cast<int>(Slider::Count)> m_sliders{};
    std::array<QCheckBox*, static_cast<int>(Switch::Count)> m_switches{};
    QButtonGroup* m_illuminants = nullptr;
    QCheckBox* m_pwd = nullptr;
    Swatch* m_swatch = nullptr;
    QLabel* m_illuminantCaption = nullptr; // Label1
    QLabel* m_rangeWarning = nullptr;      // Label19
    QLabel* m_munsellNote = nullptr;
    QLabel* m_entryNote = nullptr; // how entries are read under D50 and D65
    QCheckBox* m_adapt = nullptr;  // "Adapt entries to the illuminant"
    QWidget* m_logo = nullptr;     // Picture2, decoration

    ManualWindow* m_manual = nullptr; // made on the first "User manual"

    QComboBox* m_instrument = nullptr; // Combo1
    QPushButton* m_calibrate = nullptr;
    QPushButton* m_measure = nullptr;
    QLabel* m_portCaption = nullptr;
    QLineEdit* m_port = nullptr;
    QLineEdit* m_messages = nullptr; // Text3
    QLabel* m_imported = nullptr;    // Label6
    instruments::InstrumentPanel* m_panel = nullptr;

    // What the tint slider recolours besides the window background (which the captions,
    // labels and the instrument frame show through): these buttons take the window colour,
    // these fields the field colour.
    std::vector<QPushButton*> m_tintedButtons;
    std::vector<QLineEdit*> m_tintedFields;
    bool m_fitted = false; // sized to the shown contents once
};

} // namespace zul
