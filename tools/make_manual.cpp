// Makes the user manual VERDO.PDF from docs/MANUAL.md:  make_manual MANUAL.md VERDO.PDF
// It needs no display; pictures the manual refers to are resolved beside MANUAL.md.
#include <cstdio>

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImageReader>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

namespace {

// Pictures print at four times their screen size, so that drawn ones stay sharp on paper.
constexpr int PictureDetail = 4;

QString Title(const QString& markdown) {
    for (const QString& line : markdown.split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("# "))) return line.mid(2).trimmed();
    return QStringLiteral("VERDO");
}

void SharpenPictures(QTextDocument& document) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            QTextFragment fragment = it.fragment();
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            if (!format.isValid()) continue;
            QUrl name(format.name());
            QImageReader reader(document.baseUrl().resolved(name).toLocalFile());
            QSize natural = reader.size();
            if (!natural.isValid()) continue;
            reader.setScaledSize(natural * PictureDetail);
            QImage picture = reader.read();
            if (picture.isNull()) continue;
            document.addResource(QTextDocument::ImageResource, name, picture);
            format.setWidth(natural.width());
            format.setHeight(natural.height());
            QTextCursor cursor(&document);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
}

// Headings get room above them, so that each part of the manual stands apart; examples
// of commands and files stand on a light ground.
void StyleBlocks(QTextDocument& document) {
    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        int level = format.headingLevel();
        if (level >= 2) {
            format.setTopMargin(level == 2 ? 18 : 10);
            format.setBottomMargin(4);
        } else if (format.hasProperty(QTextFormat::BlockCodeFence)) {
            format.setBackground(QColor(0xf1, 0xf4, 0xf8));
            format.setLeftMargin(6);
        } else {
            continue;
        }
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    }
}

// Tables get thin rules and some air, the way a printed manual shows them.
void RuleTables(QTextDocument& document) {
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table) continue;
        QTextTableFormat format = table->format();
        format.setBorder(0.5);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderBrush(QColor(0x9a, 0xa8, 0xba));
        format.setBorderCollapse(true);
        format.setCellPadding(3);
        format.setCellSpacing(0);
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        table->setFormat(format);
        for (int column = 0; column < table->columns(); ++column) {
            QTextTableCellFormat head = table->cellAt(0, column).format().toTableCellFormat();
            head.setBackground(QColor(0xe3, 0xeb, 0xf5));
            table->cellAt(0, column).setFormat(head);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_manual MANUAL.md VERDO.PDF\n");
        return 2;
    }
    // Made at build time, often where there is no display at all.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QString source = QString::fromLocal8Bit(argv[1]);
    const QString target = QString::fromLocal8Bit(argv[2]);
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "make_manual: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString markdown = QString::fromUtf8(input.readAll());

    QTextDocument document;
    QFont body(QStringLiteral("DejaVu Sans"), 10);
    body.setStyleHint(QFont::SansSerif);
    document.setDefaultFont(body);
    document.setDefaultStyleSheet(QStringLiteral("code { font-family: 'DejaVu Sans Mono', monospace; }"));
    document.setBaseUrl(QUrl::fromLocalFile(QFileInfo(source).absolutePath() + QLatin1Char('/')));
    document.setMarkdown(markdown);
    SharpenPictures(document);
    StyleBlocks(document);
    RuleTables(document);

    // A manual left from an earlier build must not pass for this one.
    QFile::remove(target);
    {
        QPdfWriter writer(target);
        writer.setTitle(Title(markdown));
        writer.setCreator(QStringLiteral("VERDO"));
        // Printing the document adds margins of 2 cm on every side, and the page numbers.
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        writer.setResolution(300);
        document.print(&writer);
    }
    if (QFileInfo(target).size() == 0) {
        std::fprintf(stderr, "make_manual: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
