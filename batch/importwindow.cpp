#include "batch/importwindow.h"

#include "batch/maketable.h"
#include "batch/output.h"
#include "records/atomicfile.h"
#include "text/errors.h"
#include "text/numtext.h"
#include "widgets/backgroundtask.h"
#include "workbench/palette.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QProgressDialog>

#include <algorithm>

namespace zul::batch {

namespace {

QString qs(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Runs the job off the window thread while the window keeps painting; the progress dialog
// appears when the job takes longer than half a second.
BatchReport runWithProgress(const Job& job, Workbench& wb, const BatchFiles& files,
                            QWidget* parent) {
    BackgroundTask task;
    RunSettings settings;
    settings.options = wb.options();
    settings.cancel = task.cancelFlag();
    settings.progress = task.progress();
    BatchReport report;
    std::shared_ptr<const RenotationTable> table(&wb.table(), [](const RenotationTable*) {});

    // A share of the input's bytes when its size is known, otherwise a busy bar.
    const qint64 size = files.input == "-" ? 0 : QFileInfo(files.input).size();
    QProgressDialog* dialog = task.addDialog(
        parent, "Import", "Converting " + QFileInfo(files.input).fileName(), size > 0 ? 1000 : 0);
    task.onProgress([&] {
        const QLocale locale;
        const PipelineProgress& progress = *task.progress();
        dialog->setLabelText(QString("Converting %1\n%2 records, %3 bytes")
                                 .arg(QFileInfo(files.input).fileName(),
                                      locale.toString(progress.items.load()),
                                      locale.toString(progress.bytes.load())));
        dialog->setValue(
            size > 0 ? static_cast<int>(std::min<qint64>(progress.bytes.load() * 1000 / size, 999))
                     : 0);
    });
    task.run([&] { report = runBatchFiles(job, table, files, settings); });
    return report;
}

} // namespace

void showRecord(Workbench& wb, const Job& job, const Record& r) {
    switch (job.chain) {
    case Chain::Munsell:
        wb.setText(Field::Hue, qs(r.colour[0]));
        wb.setText(Field::Value, qs(r.colour[1]));
        wb.setText(Field::Chroma, qs(r.colour[2]));
        wb.muncie();
        break;
    case Chain::Lab:
        wb.setText(Field::L, qs(r.colour[0]));
        wb.setText(Field::A, qs(r.colour[1]));
        wb.setText(Field::B, qs(r.colour[2]));
        wb.labChain();
        break;
    case Chain::Xyz:
        wb.setTag(qs(r.free[0]));
        wb.setText(Field::X, qs(r.colour[0]));
        wb.setText(Field::Y, qs(r.colour[1]));
        wb.setText(Field::Z, qs(r.colour[2]));
        wb.xyzChain();
        break;
    case Chain::Spectral: {
        wb.reflectance() = r.reflectance;
        try {
            const Xyz xyz = tris(r.reflectance, wb.weights());
            wb.setText(Field::X, qs(plainText(xyz.x)));
            wb.setText(Field::Y, qs(plainText(xyz.y)));
            wb.setText(Field::Z, qs(plainText(xyz.z)));
            wb.xyzChain();
        } catch (const Error&) {
        }
        break;
    }
    }
}

std::optional<BatchReport> runImport(Workbench& wb, QWidget* parent, const ImportChooser& choose) {
    Dialogs& dialogs = wb.dialogs();
    const Dialogs::AskedBy asking(dialogs, parent);
    const Job* job = nullptr;
    BatchFiles files;
    if (choose) {
        const std::optional<ImportChoice> chosen = choose(wb.paletteFile());
        if (!chosen || !chosen->job) return std::nullopt;
        job = chosen->job;
        files.input = chosen->input;
        if (job->output)
            files.output = chosen->output;
        else
            wb.setPaletteFile(chosen->output);
    } else {
        job = jobByCode(dialogs.prompt("Type import", QString()).toStdString());
        if (!job) return std::nullopt;
        files.input = defaultInput(*job);
    }
    if (files.input.isEmpty()) {
        files.input = dialogs.openFile("Import", "*.csv|*.csv");
        if (files.input.isEmpty()) return std::nullopt;
    }
    if (job->output && files.output.isEmpty()) files.output = job->output;
    if (!job->output) {
        // Asked once for the whole job, as the first save of a run asks.
        QString name = wb.paletteFile();
        if (name.isEmpty()) {
            name = askPaletteFile(dialogs, "Save Palette Data",
                                  wb.lastPaletteName().isEmpty() ? "ZULpalette.csv"
                                                                 : wb.lastPaletteName(),
                                  PaletteWrite::Append);
            if (name.isEmpty()) return std::nullopt;
            wb.setLastPaletteName(name);
        }
        name = withPaletteSuffix(name);
        wb.setPaletteFile(name);
        files.palette = QFileInfo(name).absoluteFilePath();
    }
    // Messages about the run name the files by their whole paths.
    if (!files.output.isEmpty()) files.output = QFileInfo(files.output).absoluteFilePath();

    BatchReport report = runWithProgress(*job, wb, files, parent);
    if (!report.written) {
        if (!report.cancelled)
            dialogs.message(report.error, report.error == "File not found" ? files.input : "");
        return report;
    }
    if (report.last) showRecord(wb, *job, *report.last);

    QStringList summary;
    if (job->counts) summary << report.countsText();
    if (report.tooLong > 0) summary << files.input + ": " + report.tooLongSummary();
    if (report.notConverted() > 0) summary << report.failureSummary();
    if (report.warnings > 0)
        summary
            << QString("%1 converted with a message such as \"Format Error\"").arg(report.warnings);
    if (!summary.isEmpty()) {
        summary << "Written to " + wholePath(job->output ? files.output : files.palette);
        dialogs.message(summary.join('\n'));
    }
    if (job->beep) dialogs.beep();
    if (!job->output && wb.switchOn(Switch::Viewer)) emit wb.viewerReload();
    return report;
}

bool runMakeTable(Workbench& wb, const QString& file) {
    const QString target = file.isEmpty() ? QString(kTableFile) : file;
    std::string bytes;
    try {
        bytes = makeTable(wb.table(), wb.options());
    } catch (const Error& e) {
        wb.dialogs().message(QString("No table written: ") + e.what());
        return false;
    }
    FileSink sink(target);
    if (!sink.open() || !sink.write(bytes) || !sink.commit()) {
        const QString why = sink.error();
        sink.discard();
        wb.dialogs().message("Cannot write " + QFileInfo(target).absoluteFilePath() + ": " + why);
        return false;
    }
    wb.dialogs().message(file.isEmpty() ? QStringLiteral("Done")
                                        : "Done: " + QFileInfo(target).absoluteFilePath());
    return true;
}

} // namespace zul::batch
