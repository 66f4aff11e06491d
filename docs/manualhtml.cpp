// zul-manual-html MANUAL.md MANUAL.html: the user manual as the HTML installed with the
// program. Qt's own Markdown reader (GitHub dialect: tables, fenced code) makes it, so the page
// shows in the program's manual window as in any browser.
#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>

namespace {

// Commands on grey, what they print on a lighter shade, so the two read apart.
void shadeCodeBlocks(QTextDocument& doc) {
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat f = b.blockFormat();
        if (!f.hasProperty(QTextFormat::BlockCodeFence)) continue;
        const bool command = f.stringProperty(QTextFormat::BlockCodeLanguage) == "sh";
        QTextBlockFormat shade;
        shade.setBackground(QColor(command ? 0xe4e4e4 : 0xf6f6f6));
        shade.setLeftMargin(command ? 4 : 16);
        QTextCursor(b).mergeBlockFormat(shade);
    }
}

// The anchor a code host gives a heading: lower case, letters, digits, blanks as hyphens.
QString headingAnchor(const QString& heading) {
    QString anchor;
    for (const QChar c : heading.toLower()) {
        if (c.isLetterOrNumber() || c == '-' || c == '_')
            anchor += c;
        else if (c == ' ')
            anchor += '-';
    }
    return anchor;
}

// Headings become link targets, so that the manual's "#the-main-window" links work here too.
void anchorHeadings(QTextDocument& doc) {
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().headingLevel() == 0) continue;
        QTextCursor c(b);
        c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat f;
        f.setAnchor(true);
        f.setAnchorNames({headingAnchor(b.text())});
        c.mergeCharFormat(f);
    }
}

// Pictures wider than a page are shown at the page's width (the height follows), both in
// the program's manual window and in a browser.
constexpr int kPageWidth = 900;

void fitPictures(QTextDocument& doc, const QString& folder) {
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat()) continue;
            QTextImageFormat picture = fragment.charFormat().toImageFormat();
            const QImage image(folder + "/" + picture.name());
            if (image.width() <= kPageWidth) continue;
            picture.setWidth(kPageWidth);
            QTextCursor c(&doc);
            c.setPosition(fragment.position());
            c.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            c.setCharFormat(picture);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    // Fonts need a platform, never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: zul-manual-html MANUAL.md MANUAL.html\n", stderr);
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "zul-manual-html: cannot read %s\n", argv[1]);
        return 1;
    }
    QTextDocument doc;
    doc.setMarkdown(QString::fromUtf8(in.readAll()), QTextDocument::MarkdownDialectGitHub);
    doc.setMetaInformation(QTextDocument::DocumentTitle, "ZUL User manual");
    shadeCodeBlocks(doc);
    anchorHeadings(doc);
    fitPictures(doc, QFileInfo(in).absolutePath());
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        out.write(doc.toHtml().toUtf8()) < 0) {
        std::fprintf(stderr, "zul-manual-html: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
