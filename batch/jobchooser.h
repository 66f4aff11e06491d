#pragma once
// "Import"'s chooser: the seven jobs with their input and output files, the input picked in a
// file dialog or typed, the output path, and a code field where the prompt's codes still work.
#include "batch/jobs.h"
#include "workbench/dialogs.h"

#include <QDialog>

#include <optional>

class QLineEdit;
class QTreeWidget;

namespace zul::batch {

struct ImportChoice {
    const Job* job = nullptr;
    QString input;  // the file read
    QString output; // the file written; for the palette job the palette's name
};

class JobChooser : public QDialog {
public:
    // `paletteName`: the palette the palette job appends to, as far as known.
    JobChooser(Dialogs& dialogs, const QString& paletteName, QWidget* parent = nullptr);

    // The job of a code typed in the code field ("xyz", "0".."6"), chosen in the list.
    void chooseCode(const QString& code);
    const Job* job() const;
    // Asks for the input in the file dialog.
    void browse();
    // The choice, when the job and its files are all given.
    std::optional<ImportChoice> choice() const;

private:
    void showJob();
    void updateOk();

    Dialogs& m_dialogs;
    QString m_paletteName;
    QLineEdit* m_code = nullptr;
    QTreeWidget* m_list = nullptr;
    QLineEdit* m_input = nullptr;
    QLineEdit* m_output = nullptr;
};

// Shows the chooser; nullopt when cancelled.
std::optional<ImportChoice> chooseImport(Dialogs& dialogs, const QString& paletteName,
                                         QWidget* parent);

} // namespace zul::batch
