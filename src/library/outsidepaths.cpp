#include "library/outsidepaths.h"

#include "base/filehelpers.h"

#include <QFileInfo>

OutsidePath kindOfOutsidePath(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir())
        return OutsidePath::Folder;
    if (!info.isFile())
        return OutsidePath::Other;
    // The playlist picker's pattern: ".m3u", and ".m3u8" in UTF-8.
    const QString suffix = info.suffix();
    if (suffix.compare(u"m3u", Qt::CaseInsensitive) == 0 ||
        suffix.compare(u"m3u8", Qt::CaseInsensitive) == 0)
        return OutsidePath::Playlist;
    return IsMusicFile(info.fileName()) ? OutsidePath::MusicFile : OutsidePath::Other;
}
