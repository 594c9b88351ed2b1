#include "library/tagreader.h"

#include "base/textfold.h"
#include "library/legacytext.h"
#include "library/midiname.h"
#include "library/tagstream.h"

#include <QFile>

#include <taglib/aifffile.h>
#include <taglib/apetag.h>
#include <taglib/id3v1genres.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/wavfile.h>

#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace tagreader {

namespace {

// A MIDI file names itself near its start; the rest is never read.
constexpr unsigned long kMidiBytesRead = 1 << 20;

// Straight from TagLib's own characters, without its copy of them.
QString fromTagLib(const TagLib::String& s) {
    return QString::fromWCharArray(s.toCWString(), qsizetype(s.size()));
}

TagLib::String toTagLib(const QString& s) {
    return TagLib::String(s.toUtf8().toStdString(), TagLib::String::UTF8);
}

// Text declared Latin-1 (or not declared at all), up to its first NUL.
TagLib::String legacy(const TagLib::ByteVector& data) {
    const QByteArrayView bytes(data.data(), qsizetype(data.size()));
    const qsizetype nul = bytes.indexOf('\0');
    return toTagLib(legacytext::decode(nul < 0 ? bytes : bytes.first(nul)));
}

class Id3v1Text final : public TagLib::ID3v1::StringHandler {
public:
    TagLib::String parse(const TagLib::ByteVector& data) const override { return legacy(data); }
};

class Id3v2Latin1 final : public TagLib::ID3v2::Latin1StringHandler {
public:
    TagLib::String parse(const TagLib::ByteVector& data) const override { return legacy(data); }
};

class InfoText final : public TagLib::RIFF::Info::StringHandler {
public:
    TagLib::String parse(const TagLib::ByteVector& data) const override { return legacy(data); }
};

// TagLib keeps one handler of each kind for the whole process; they are
// set once, before the first file is read, and never changed.
void installHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        static const Id3v1Text id3v1;
        static const Id3v2Latin1 id3v2;
        static const InfoText info;
        TagLib::ID3v1::Tag::setStringHandler(&id3v1);
        TagLib::ID3v2::Tag::setLatin1StringHandler(&id3v2);
        TagLib::RIFF::Info::Tag::setStringHandler(&info);
    });
}

bool needsCleaning(const QString& text) {
    if (text.size() > kMaxTextLength || text.front().isSpace() || text.back().isSpace())
        return true;
    for (QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

// Trimmed, without control characters, cut to the longest text kept.
QString clean(const QString& text) {
    if (text.isEmpty() || !needsCleaning(text))
        return text; // nearly every tag: shared, not copied
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c.category() != QChar::Other_Control)
            out += c;
    }
    return out.trimmed().left(kMaxTextLength).trimmed();
}

// What the tags of one file say, filled from the most trusted tag on.
class Found {
public:
    void offer(const QStringList& titles, const QStringList& artists, const QStringList& genres) {
        if (tags_.title.isEmpty())
            tags_.title = firstOf(titles);
        if (tags_.artist.isEmpty())
            tags_.artist = firstOf(artists);
        if (tags_.genres.isEmpty())
            tags_.genres = genreNames(genres);
    }
    void offer(const TagLib::Tag& tag) {
        offer({fromTagLib(tag.title())}, {fromTagLib(tag.artist())}, {fromTagLib(tag.genre())});
    }
    // Whether a less trusted tag could add nothing.
    bool complete() const {
        return !tags_.title.isEmpty() && !tags_.artist.isEmpty() && !tags_.genres.isEmpty();
    }
    // One value of a field, in order of trust: the first that is not
    // empty once cleaned fills the field.
    void offerTitle(const TagLib::String& value) { fill(tags_.title, value); }
    void offerArtist(const TagLib::String& value) { fill(tags_.artist, value); }
    bool wantsGenres() const { return tags_.genres.isEmpty(); }
    SongTags take() { return std::move(tags_); }

private:
    static void fill(QString& field, const TagLib::String& value) {
        if (field.isEmpty() && !value.isEmpty())
            field = clean(fromTagLib(value));
    }
    static QString firstOf(const QStringList& values) {
        for (const QString& value : values) {
            const QString text = clean(value);
            if (!text.isEmpty())
                return text;
        }
        return QString();
    }
    SongTags tags_;
};

// The title, artist and genre frames, in one pass over the tag: ID3v2.4
// keeps several values in one frame, separated by NUL, which TagLib hands
// over as fields.
void offerId3v2(Found& found, const TagLib::ID3v2::Tag* tag) {
    if (!tag)
        return;
    QStringList genres;
    for (const TagLib::ID3v2::Frame* frame : tag->frameList()) {
        const auto* text = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(frame);
        if (!text)
            continue;
        const TagLib::ByteVector id = frame->frameID();
        for (const TagLib::String& field : text->fieldList()) {
            if (id == "TIT2")
                found.offerTitle(field);
            else if (id == "TPE1")
                found.offerArtist(field);
            else if (id == "TCON" && found.wantsGenres())
                genres << fromTagLib(field);
        }
    }
    found.offer({}, {}, genres);
}

void offerApe(Found& found, const TagLib::APE::Tag* tag) {
    if (!tag)
        return;
    QStringList genres;
    const TagLib::APE::ItemListMap& items = tag->itemListMap();
    const auto it = items.find("GENRE");
    if (it != items.end()) {
        for (const TagLib::String& value : it->second.values())
            genres << fromTagLib(value);
    }
    found.offer({fromTagLib(tag->title())}, {fromTagLib(tag->artist())}, genres);
}

bool endsWith(const QString& path, const char* suffix) {
    return path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive);
}

// TagLib's tag readers, over our stream, without a file type that looks
// for anything by itself.
class StreamFile final : public TagLib::File {
public:
    explicit StreamFile(TagLib::IOStream* stream) : TagLib::File(stream) {}
    TagLib::Tag* tag() const override { return nullptr; }
    TagLib::AudioProperties* audioProperties() const override { return nullptr; }
    bool save() override { return false; }
};

bool bytesAt(TagStream& stream, long offset, const char* expected) {
    if (offset < 0)
        return false;
    stream.seek(offset);
    return stream.readBlock(static_cast<unsigned long>(std::strlen(expected))) == expected;
}

// Where TagLib's MPEG reader finds the tags at the end of a file: an ID3v1
// tag in the last 128 bytes (unless those are part of an APE footer), an
// APE footer just before it or at the very end; -1 when there is none.
constexpr long kId3v1Size = 128;
constexpr long kApeFooterSize = 32;

long id3v1Offset(TagStream& stream) {
    const long offset = stream.length() - kId3v1Size;
    if (!bytesAt(stream, offset, "TAG") || bytesAt(stream, offset - 3, "APETAGEX"))
        return -1;
    return offset;
}

long apeFooterOffset(TagStream& stream, long id3v1) {
    const long offset = (id3v1 >= 0 ? id3v1 : stream.length()) - kApeFooterSize;
    return bytesAt(stream, offset, "APETAGEX") ? offset : -1;
}

// The common MP3: an ID3v2 tag at its very start. Its tags are read as
// TagLib's MPEG reader reads them, in the same order of trust, but the end
// of the file is looked at only when the ID3v2 tag left a field empty, and
// the audio never. False, with nothing offered, when the file does not
// start with an ID3v2 tag (TagLib's MPEG reader then looks further).
bool readMp3Tags(TagStream& stream, Found& found) {
    if (!bytesAt(stream, 0, "ID3"))
        return false;
    StreamFile file(&stream);
    const TagLib::ID3v2::Tag id3v2(&file, 0);
    offerId3v2(found, &id3v2);
    if (found.complete())
        return true;
    const long id3v1 = id3v1Offset(stream);
    const long ape = apeFooterOffset(stream, id3v1);
    if (ape >= 0) {
        const TagLib::APE::Tag tag(&file, ape);
        offerApe(found, &tag);
    }
    if (id3v1 >= 0)
        found.offer(TagLib::ID3v1::Tag(&file, id3v1));
    return true;
}

SongTags readStream(const QString& path, TagStream& stream) {
    Found found;
    if (endsWith(path, "MID") || endsWith(path, "MIDI")) {
        const TagLib::ByteVector start = stream.readBlock(kMidiBytesRead);
        const QByteArray name =
            midiname::trackName(QByteArrayView(start.data(), qsizetype(start.size())));
        found.offer({legacytext::decode(name)}, {}, {});
        return found.take();
    }
    if (endsWith(path, "MP3")) {
        if (readMp3Tags(stream, found))
            return found.take();
        TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
        if (file.hasID3v2Tag())
            offerId3v2(found, file.ID3v2Tag());
        if (file.hasAPETag())
            offerApe(found, file.APETag());
        if (file.hasID3v1Tag())
            found.offer(*file.ID3v1Tag());
    } else if (endsWith(path, "WAV")) {
        TagLib::RIFF::WAV::File file(&stream, false);
        if (file.hasID3v2Tag())
            offerId3v2(found, file.ID3v2Tag());
        if (file.hasInfoTag())
            found.offer(*file.InfoTag());
    } else if (endsWith(path, "AIF") || endsWith(path, "AIFF")) {
        TagLib::RIFF::AIFF::File file(&stream, false);
        if (file.hasID3v2Tag())
            offerId3v2(found, file.tag());
    }
    return found.take();
}

// One to three digits: an ID3v1 genre number.
bool isGenreNumber(QStringView text) {
    if (text.isEmpty() || text.size() > 3)
        return false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

// "RX", "CR" or a number between the parentheses of an ID3 reference.
QString referenceName(const QString& reference) {
    if (reference == u"RX")
        return QStringLiteral("Remix");
    if (reference == u"CR")
        return QStringLiteral("Cover");
    if (isGenreNumber(reference))
        return fromTagLib(TagLib::ID3v1::genre(reference.toInt()));
    return QString();
}

// The names one genre value stands for.
QStringList namesOf(const QString& value) {
    QString rest = value.trimmed();
    QStringList references;
    while (rest.startsWith(u'(') && !rest.startsWith(QLatin1String("(("))) {
        const qsizetype close = rest.indexOf(u')');
        const QString name = close < 0 ? QString() : referenceName(rest.mid(1, close - 1));
        if (name.isEmpty())
            return {value}; // not a reference: plain text
        references << name;
        rest = rest.mid(close + 1);
    }
    if (rest.startsWith(QLatin1String("((")))
        rest.remove(0, 1);         // "((" writes a text that begins with "("
    if (!rest.trimmed().isEmpty()) // a refinement replaces the references
        return {isGenreNumber(rest.trimmed()) ? referenceName(rest.trimmed()) : rest};
    return references;
}

} // namespace

QStringList genreNames(const QStringList& values) {
    QStringList out;
    QStringList seen; // folded; three at most
    for (const QString& value : values) {
        qsizetype start = 0;
        while (start <= value.size() && out.size() < kMaxGenres) {
            qsizetype end = start;
            while (end < value.size() && value[end] != u';' && value[end] != QChar(0))
                ++end;
            for (const QString& found : namesOf(value.mid(start, end - start))) {
                const QString name = clean(found);
                if (name.isEmpty() || out.size() >= kMaxGenres)
                    continue;
                QString key = text::fold(name);
                if (!seen.contains(key)) {
                    seen << std::move(key);
                    out << name;
                }
            }
            start = end + 1;
        }
    }
    return out;
}

SongTags read(const QString& path) {
    installHandlers();
    const QByteArray name = QFile::encodeName(path);
    // Without blocking: a pipe named like music must not wait for a
    // writer. The stream gives bytes of regular files only.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    // Files only: a device named like music is never handed to TagLib.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return {};
    }
    TagStream stream(fd, name.constData());
    // TagLib signals nothing but a failed allocation, for a tag that
    // claims more than memory holds.
    try {
        return readStream(path, stream);
    } catch (...) {
        return {};
    }
}

} // namespace tagreader
