#include "file_output.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <cstring>
#include <string_view>

namespace relan {

namespace {

// The writer's reasons, marked for the translation of the window (the writer is
// standard C++ and says them in Russian); the window's test checks that every one of
// them is here.
[[maybe_unused]] constexpr const char* kReasons[] = {
    QT_TRANSLATE_NOOP("FileOutput", "файл записан не полностью"),
    QT_TRANSLATE_NOOP("FileOutput", "документ PDF не завершен"),
    QT_TRANSLATE_NOOP("FileOutput", "архив книги Excel не завершен"),
    QT_TRANSLATE_NOOP("FileOutput", "не указано имя файла"),
    QT_TRANSLATE_NOOP("FileOutput", "системная ошибка"),
    QT_TRANSLATE_NOOP("FileOutput", "библиотека книг Excel не смогла составить книгу"),
    QT_TRANSLATE_NOOP("FileOutput", "не удалось составить содержимое файла"),
    QT_TRANSLATE_NOOP("FileOutput", "нет места на диске"),
    QT_TRANSLATE_NOOP("FileOutput", "превышена квота на диске"),
    QT_TRANSLATE_NOOP("FileOutput", "нет прав на запись"),
    QT_TRANSLATE_NOOP("FileOutput", "диск доступен только для чтения"),
    QT_TRANSLATE_NOOP("FileOutput", "папка не существует"),
    QT_TRANSLATE_NOOP("FileOutput", "часть пути не является папкой"),
    QT_TRANSLATE_NOOP("FileOutput", "это папка, а не файл"),
    QT_TRANSLATE_NOOP("FileOutput", "слишком длинное имя файла"),
    QT_TRANSLATE_NOOP("FileOutput", "в пути петля символических ссылок"),
    QT_TRANSLATE_NOOP("FileOutput", "ошибка ввода-вывода"),
    QT_TRANSLATE_NOOP("FileOutput", "файл больше допустимого размера"),
    QT_TRANSLATE_NOOP("FileOutput", "открыто слишком много файлов"),
    QT_TRANSLATE_NOOP("FileOutput", "файл занят"),
    QT_TRANSLATE_NOOP("FileOutput", "недостаточно памяти"),
    QT_TRANSLATE_NOOP("FileOutput", "читающая программа закрыла канал"),
    QT_TRANSLATE_NOOP("FileOutput", "вывод закрыт"),
    QT_TRANSLATE_NOOP("FileOutput", "устройство недоступно"),
};

constexpr char16_t kKeptByte = 0xDC00;  // a kept byte b is U+DC00 + b (b >= 0x80)

// The length of the valid UTF-8 sequence at `i`, 0 when there is none.
int Utf8Sequence(const unsigned char* s, qsizetype n, qsizetype i, char32_t& cp) {
    const unsigned char c = s[i];
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    int len = 0;
    char32_t min = 0;
    if ((c & 0xE0) == 0xC0) {
        len = 2;
        cp = c & 0x1F;
        min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3;
        cp = c & 0x0F;
        min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4;
        cp = c & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > n) return 0;
    for (int k = 1; k < len; ++k) {
        const unsigned char d = s[i + k];
        if ((d & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (d & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

}  // namespace

QString FileNameFromBytes(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        char32_t cp = 0;
        const int len = Utf8Sequence(s, n, i, cp);
        if (len == 0) {
            out += QChar(static_cast<char16_t>(kKeptByte + s[i]));
            ++i;
            continue;
        }
        const char32_t one[1] = {cp};
        out += QString::fromUcs4(one, 1);
        i += len;
    }
    return out;
}

QByteArray FileNameBytes(const QString& name) {
    QByteArray out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t u = name.at(i).unicode();
        const bool pair = QChar::isHighSurrogate(u) && i + 1 < name.size() && name.at(i + 1).isLowSurrogate();
        if (!pair && u >= kKeptByte + 0x80 && u <= kKeptByte + 0xFF) {
            out += static_cast<char>(u - kKeptByte);
            continue;
        }
        const qsizetype len = pair ? 2 : 1;
        out += name.mid(i, len).toUtf8();
        i += len - 1;
    }
    return out;
}

QString ShownFileName(const QString& name) {
    QString shown = QDir::toNativeSeparators(name);
    for (QChar& c : shown)
        if (c.unicode() >= kKeptByte + 0x80 && c.unicode() <= kKeptByte + 0xFF)
            c = QChar(QChar::ReplacementCharacter);
    return shown;
}

bool IsFolder(const QString& name) {
    struct stat st {};
    return ::stat(FileNameBytes(name).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const QString& name) {
    struct stat st {};
    return ::stat(FileNameBytes(name).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

QString WriteReasonText(const relcli::WriteOutcome& outcome) {
    // The writer's text for an error it has no words for, named by its number then.
    const char* other = relcli::ReasonForError(-1);
    const char* reason = outcome.reason ? outcome.reason : other;
    QString text = QCoreApplication::translate("FileOutput", reason);
    if (std::strcmp(reason, other) == 0 && outcome.error != 0)
        text += QLatin1Char(' ') + QString::number(outcome.error);
    return text;
}

QString WriteFailureText(const QString& file, const relcli::WriteOutcome& outcome) {
    return QCoreApplication::translate("FileOutput", "Файл «%1» не записан: %2")
        .arg(ShownFileName(file), WriteReasonText(outcome));
}

bool WriteFileBytes(const QString& file, const QByteArray& bytes, QString& why, const relcli::FileCheck& check) {
    const relcli::WriteOutcome r = relcli::WriteWholeFile(
        FileNameBytes(file).toStdString(), std::string_view(bytes.constData(), bytes.size()), check);
    if (r) return true;
    why = WriteFailureText(file, r);
    return false;
}

}  // namespace relan
