#include "ui/LayoutNameCatalog.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cstring>
#include <optional>

namespace velmora {

namespace {

// A compiled gettext catalogue: a header of 32-bit words in the file's byte
// order (told by the magic number), then two tables of (length, offset)
// pairs, one for the original strings and one for their translations.
class MoReader {
public:
    explicit MoReader(const QByteArray& data) : data_(data) {}

    bool readHeader() {
        const std::optional<quint32> magic = word(0);
        if (!magic)
            return false;
        if (*magic == 0x950412de)
            bigEndian_ = false;
        else if (qbswap(*magic) == 0x950412de)
            bigEndian_ = true;
        else
            return false;
        const std::optional<quint32> count = word(8), originals = word(12), translations = word(16);
        if (!count || !originals || !translations)
            return false;
        count_ = *count, originals_ = *originals, translations_ = *translations;
        return true;
    }

    quint32 count() const { return count_; }
    std::optional<QByteArray> original(quint32 index) const { return string(originals_, index); }
    std::optional<QByteArray> translation(quint32 index) const { return string(translations_, index); }

private:
    std::optional<quint32> word(qint64 offset) const {
        if (offset < 0 || offset + 4 > data_.size())
            return std::nullopt;
        quint32 value = 0;
        std::memcpy(&value, data_.constData() + offset, sizeof value);
        return bigEndian_ ? qFromBigEndian(value) : qFromLittleEndian(value);
    }

    std::optional<QByteArray> string(quint32 table, quint32 index) const {
        const qint64 entry = qint64(table) + qint64(index) * 8;
        const std::optional<quint32> length = word(entry), offset = word(entry + 4);
        if (!length || !offset || qint64(*offset) + qint64(*length) > data_.size())
            return std::nullopt;
        return data_.mid(*offset, *length);
    }

    const QByteArray& data_;
    bool bigEndian_ = false;
    quint32 count_ = 0, originals_ = 0, translations_ = 0;
};

} // namespace

LayoutNameCatalog::LayoutNameCatalog(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray data = file.readAll();
    MoReader reader(data);
    if (!reader.readHeader())
        return;
    for (quint32 i = 0; i < reader.count(); ++i) {
        const std::optional<QByteArray> original = reader.original(i), translation = reader.translation(i);
        if (!original || !translation) {
            // Cut short or damaged: nothing in it can be trusted.
            names_.clear();
            return;
        }
        // The header (empty id), plural forms (ids joined by NUL) and messages
        // with a context (joined by EOT) name no layout.
        if (original->isEmpty() || original->contains('\0') || original->contains('\x04') ||
            translation->isEmpty())
            continue;
        names_.insert(QString::fromUtf8(*original), QString::fromUtf8(*translation));
    }
}

QString LayoutNameCatalog::pathFor(const QString& languageCode, const QString& localeRoot) {
    // Velmora's codes as gettext names the locales; Portuguese is Brazil's
    // and Chinese the simplified script, as in Velmora's own tables.
    static const QHash<QString, QString> locales = {
        {QStringLiteral("fr"), QStringLiteral("fr")},    {QStringLiteral("de"), QStringLiteral("de")},
        {QStringLiteral("pt"), QStringLiteral("pt_BR")}, {QStringLiteral("ru"), QStringLiteral("ru")},
        {QStringLiteral("es"), QStringLiteral("es")},    {QStringLiteral("uk"), QStringLiteral("uk")},
        {QStringLiteral("ja"), QStringLiteral("ja")},    {QStringLiteral("zh-Hans"), QStringLiteral("zh_CN")},
    };
    const QString locale = locales.value(languageCode);
    if (locale.isEmpty())
        return {};
    const QString path =
        localeRoot + QLatin1Char('/') + locale + QStringLiteral("/LC_MESSAGES/xkeyboard-config.mo");
    return QFileInfo(path).isFile() ? path : QString();
}

} // namespace velmora
