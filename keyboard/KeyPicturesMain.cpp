// tg_key_pictures: draws the live keyboard's key pictures, an off and an on picture for each
// of the 104 keys, labelled as a Russian keyboard is (the Latin and the Cyrillic letter), into
// the folder named on its command line. The build runs it; the program reads what it writes.
#include "keyboard/KeyLayout.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <map>
#include <string>

namespace
{
struct SCap
{
    const char* pszMain;     // the Latin letter, digit, sign or the key's name
    const char* pszCyrillic; // the Russian layout's letter, or nothing
    int nWidth = 45;         // picture size in pixels; the window shows 70 % of it
    int nHeight = 45;
};

// Sizes chosen so that, with the gaps of the layout, the rows end together as on a real
// keyboard: a plain key shows 32 pixels wide, a row pitch is 47.
const std::map<std::string, SCap> kCaps = {
    {"Esc", {"Esc", ""}},
    {"F1", {"F1", ""}},
    {"F2", {"F2", ""}},
    {"F3", {"F3", ""}},
    {"F4", {"F4", ""}},
    {"F5", {"F5", ""}},
    {"F6", {"F6", ""}},
    {"F7", {"F7", ""}},
    {"F8", {"F8", ""}},
    {"F9", {"F9", ""}},
    {"F10", {"F10", ""}},
    {"F11", {"F11", ""}},
    {"F12", {"F12", ""}},
    {"PrintScreen", {"PrtSc", ""}},
    {"ScrollLock", {"ScrLk", ""}},
    {"PausePreak", {"Pause", ""}},
    {"Apostrof", {"`", "Ё"}},
    {"1", {"1", ""}},
    {"2", {"2", ""}},
    {"3", {"3", ""}},
    {"4", {"4", ""}},
    {"5", {"5", ""}},
    {"6", {"6", ""}},
    {"7", {"7", ""}},
    {"8", {"8", ""}},
    {"9", {"9", ""}},
    {"0", {"0", ""}},
    {"minus", {"-", ""}},
    {"equal", {"=", ""}},
    {"Backspace", {"Backspace", "", 113}},
    {"Tab", {"Tab", ""}},
    {"Q", {"Q", "Й"}},
    {"W", {"W", "Ц"}},
    {"E", {"E", "У"}},
    {"R", {"R", "К"}},
    {"T", {"T", "Е"}},
    {"Y", {"Y", "Н"}},
    {"U", {"U", "Г"}},
    {"I", {"I", "Ш"}},
    {"O", {"O", "Щ"}},
    {"P", {"P", "З"}},
    {"LSBracket", {"[", "Х"}},
    {"RSBracket", {"]", "Ъ"}},
    {"LSlash", {"\\", "/", 80}},
    {"CapsLock", {"Caps Lock", "", 82}},
    {"A", {"A", "Ф"}},
    {"S", {"S", "Ы"}},
    {"D", {"D", "В"}},
    {"F", {"F", "А"}},
    {"G", {"G", "П"}},
    {"H", {"H", "Р"}},
    {"J", {"J", "О"}},
    {"K", {"K", "Л"}},
    {"L", {"L", "Д"}},
    {"Semicolon", {";", "Ж"}},
    {"Apostrof2", {"'", "Э"}},
    {"Enter", {"Enter", "", 130}},
    {"LShift", {"Shift", "", 94}},
    {"Z", {"Z", "Я"}},
    {"X", {"X", "Ч"}},
    {"C", {"C", "С"}},
    {"V", {"V", "М"}},
    {"B", {"B", "И"}},
    {"N", {"N", "Т"}},
    {"M", {"M", "Ь"}},
    {"Comma", {",", "Б"}},
    {"Point", {".", "Ю"}},
    {"RSlash", {"/", "."}},
    {"RShift", {"Shift", "", 163}},
    {"LCtrl", {"Ctrl", "", 67}},
    {"LWin", {"Win", "", 57}},
    {"LAlt", {"Alt", "", 57}},
    {"Space", {"", "", 329}},
    {"RAlt", {"Alt", "", 57}},
    {"RWin", {"Win", "", 57}},
    {"Context", {"Menu", "", 57}},
    {"RCtrl", {"Ctrl", "", 67}},
    {"Insert", {"Ins", ""}},
    {"Home", {"Home", ""}},
    {"PageUp", {"PgUp", ""}},
    {"Delete", {"Del", ""}},
    {"End", {"End", ""}},
    {"PageDown", {"PgDn", ""}},
    {"ArrowLeft", {"←", ""}},
    {"ArrowUp", {"↑", ""}},
    {"ArrowRight", {"→", ""}},
    {"ArrowDown", {"↓", ""}},
    {"NumLock", {"Num", ""}},
    {"Num_Divide", {"/", ""}},
    {"Num_Multiply", {"*", ""}},
    {"Num_Minus", {"-", ""}},
    {"Num_7", {"7", ""}},
    {"Num_8", {"8", ""}},
    {"Num_9", {"9", ""}},
    {"Num_4", {"4", ""}},
    {"Num_5", {"5", ""}},
    {"Num_6", {"6", ""}},
    {"Num_1", {"1", ""}},
    {"Num_2", {"2", ""}},
    {"Num_3", {"3", ""}},
    {"Num_0", {"0", "", 99}},
    {"Num_Point", {".", ""}},
    {"Num_Plus", {"+", "", 45, 113}},
    {"Num_Enter", {"Enter", "", 45, 106}},
};

QImage DrawCap(const SCap& cap, bool bOn)
{
    QImage image(cap.nWidth, cap.nHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    // The key's body, its darker skirt below, and the face on top; a held key sinks a little
    // and glows amber.
    const QRectF body(0.5, 0.5, cap.nWidth - 1.0, cap.nHeight - 1.0);
    painter.setPen(QPen(bOn ? QColor(150, 70, 0) : QColor(60, 60, 60), 1.0));
    painter.setBrush(bOn ? QColor(214, 120, 0) : QColor(150, 150, 150));
    painter.drawRoundedRect(body, 6, 6);

    const QRectF face = bOn ? body.adjusted(3, 4, -3, -2) : body.adjusted(3, 2, -3, -5);
    QLinearGradient gradient(face.topLeft(), face.bottomLeft());
    gradient.setColorAt(0, bOn ? QColor(255, 240, 150) : QColor(252, 252, 252));
    gradient.setColorAt(1, bOn ? QColor(255, 185, 40) : QColor(214, 214, 214));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawRoundedRect(face, 4, 4);

    const QString strMain = QString::fromUtf8(cap.pszMain);
    const QString strCyrillic = QString::fromUtf8(cap.pszCyrillic);
    const bool bWord = strMain.size() > 1 && strMain.at(0).isLetter() && !strCyrillic.size();
    QFont font("DejaVu Sans");
    font.setPixelSize(bWord ? 11 : 17);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(bOn ? QColor(70, 30, 0) : QColor(20, 20, 20));
    const QRectF text = face.adjusted(3, 1, -3, -1);
    if (strCyrillic.isEmpty())
        painter.drawText(text, (bWord ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter, strMain);
    else
    {
        // As the keys of a Russian keyboard show them: Latin above left, Cyrillic below right.
        painter.drawText(text, Qt::AlignLeft | Qt::AlignTop, strMain);
        font.setPixelSize(15);
        painter.setFont(font);
        painter.setPen(bOn ? QColor(150, 0, 0) : QColor(190, 0, 0));
        painter.drawText(text, Qt::AlignRight | Qt::AlignBottom, strCyrillic);
    }
    return image;
}

void Quiet(QtMsgType eType, const QMessageLogContext&, const QString& strMessage)
{
    // The offscreen platform's notes on the environment are no business of the build.
    if (eType == QtCriticalMsg || eType == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(strMessage));
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: tg_key_pictures FOLDER\n");
        return 2;
    }
    qInstallMessageHandler(Quiet);
    QGuiApplication app(argc, argv);
    const std::string strFolder = argv[1];
    if (!QDir().mkpath(QString::fromStdString(strFolder)))
    {
        std::fprintf(stderr, "tg_key_pictures: cannot make %s\n", strFolder.c_str());
        return 1;
    }
    for (const SKeyRule& rule : KeyRules())
    {
        const auto it = kCaps.find(rule.pszPicture);
        if (it == kCaps.end())
        {
            std::fprintf(stderr, "tg_key_pictures: no keycap for %s\n", rule.pszPicture);
            return 1;
        }
        for (bool bOn : {false, true})
        {
            // Written under the plain names: KeyPictureFile() gives the = key its off picture
            // for both states, but the set is complete.
            const std::string strFile =
                strFolder + "/Key_" + rule.pszPicture + (bOn ? "_on.png" : "_off.png");
            if (!DrawCap(it->second, bOn).save(QString::fromStdString(strFile), "PNG"))
            {
                std::fprintf(stderr, "tg_key_pictures: cannot write %s\n", strFile.c_str());
                return 1;
            }
        }
    }
    return 0;
}
