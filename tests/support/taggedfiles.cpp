#include "taggedfiles.h"

#include "diskfiles.h"

#include <taglib/aifffile.h>
#include <taglib/apetag.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/wavfile.h>

namespace taggedfiles {

namespace {

TagLib::String toTagLib(const QString& s) {
    return TagLib::String(s.toUtf8().toStdString(), TagLib::String::UTF8);
}

TagLib::String::Type typeOf(Text text) {
    switch (text) {
    case Text::Latin1:
        return TagLib::String::Latin1;
    case Text::Utf16:
        return TagLib::String::UTF16;
    case Text::Utf8:
        break;
    }
    return TagLib::String::UTF8;
}

void addFrame(TagLib::ID3v2::Tag& tag, const char* id, const QStringList& values,
              TagLib::String::Type type) {
    if (values.isEmpty() || (values.size() == 1 && values[0].isEmpty()))
        return;
    auto* frame = new TagLib::ID3v2::TextIdentificationFrame(id, type);
    TagLib::StringList list;
    for (const QString& value : values)
        list.append(toTagLib(value));
    frame->setText(list);
    tag.addFrame(frame);
}

void fill(TagLib::ID3v2::Tag& tag, const Fields& fields, TagLib::String::Type type) {
    addFrame(tag, "TIT2", {fields.title}, type);
    addFrame(tag, "TPE1", {fields.artist}, type);
    addFrame(tag, "TCON", fields.genres, type);
}

QByteArray bigEndian(quint32 n) {
    const char bytes[] = {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
    return QByteArray(bytes, 4);
}

QByteArray syncSafe(quint32 n) {
    const char bytes[] = {char((n >> 21) & 0x7F), char((n >> 14) & 0x7F), char((n >> 7) & 0x7F),
                          char(n & 0x7F)};
    return QByteArray(bytes, 4);
}

QByteArray padded(const QByteArray& bytes, int size) {
    return bytes.left(size) + QByteArray(qMax(0, size - int(bytes.size())), '\0');
}

} // namespace

QByteArray silentMp3() {
    // MPEG-1 layer III, 128 kbit/s, 44.1 kHz: 417 bytes a frame.
    const QByteArray frame = QByteArray("\xFF\xFB\x90\x64", 4) + QByteArray(413, '\0');
    return frame.repeated(4);
}

bool writeMp3(const QString& path, const Fields& fields, int version, Text text) {
    if (!diskfiles::write(path, silentMp3()))
        return false;
    TagLib::MPEG::File file(QFile::encodeName(path).constData(), false);
    fill(*file.ID3v2Tag(true), fields, typeOf(text));
    return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers,
                     version == 3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4);
}

bool tagWav(const QString& path, const Fields& fields, bool id3) {
    TagLib::RIFF::WAV::File file(QFile::encodeName(path).constData(), false);
    if (id3) {
        fill(*file.ID3v2Tag(), fields, TagLib::String::UTF8);
    } else {
        TagLib::RIFF::Info::Tag* info = file.InfoTag();
        info->setTitle(toTagLib(fields.title));
        info->setArtist(toTagLib(fields.artist));
        info->setGenre(toTagLib(fields.genres.join(u';')));
    }
    return file.save(TagLib::RIFF::WAV::File::AllTags, TagLib::File::StripNone);
}

bool tagApe(const QString& path, const Fields& fields) {
    TagLib::MPEG::File file(QFile::encodeName(path).constData(), false);
    TagLib::APE::Tag* ape = file.APETag(true);
    ape->setTitle(toTagLib(fields.title));
    ape->setArtist(toTagLib(fields.artist));
    ape->setGenre(toTagLib(fields.genres.join(u';')));
    return file.save(TagLib::MPEG::File::APE, TagLib::File::StripNone, TagLib::ID3v2::v4,
                     TagLib::File::DoNotDuplicate);
}

bool tagAiff(const QString& path, const Fields& fields) {
    TagLib::RIFF::AIFF::File file(QFile::encodeName(path).constData(), false);
    fill(*file.tag(), fields, TagLib::String::UTF16);
    return file.save();
}

QByteArray id3v23Latin1(const QList<QPair<QByteArray, QByteArray>>& frames) {
    QByteArray body;
    for (const auto& [id, text] : frames) {
        const QByteArray data = '\0' + text; // encoding 0: Latin-1
        body += id + bigEndian(quint32(data.size())) + QByteArray(2, '\0') + data;
    }
    return QByteArray("ID3\x03\x00\x00", 6) + syncSafe(quint32(body.size())) + body;
}

QByteArray id3v1(const QByteArray& title, const QByteArray& artist, int genre) {
    return "TAG" + padded(title, 30) + padded(artist, 30) + padded({}, 30) + padded("2001", 4) +
           padded({}, 30) + char(genre);
}

QByteArray midi(const QByteArray& name) {
    const QByteArray track = QByteArray("\x00\xFF\x03", 3) + char(name.size()) + name +
                             QByteArray("\x00\x90\x3C\x64\x60\x80\x3C\x00\x00\xFF\x2F\x00", 12);
    return QByteArray("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60", 14) + "MTrk" +
           bigEndian(quint32(track.size())) + track;
}

} // namespace taggedfiles
