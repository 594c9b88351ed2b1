#include "faultydisk.h"

#include <sqlite3.h>

#include <atomic>
#include <cstring>

namespace faultydisk {

namespace {

std::atomic<int> gFault{0};
std::atomic<int> gRollbacksToRefuse{0};
sqlite3_vfs* gReal = nullptr;
sqlite3_vfs gVfs;
sqlite3_io_methods gMethods;

// Our file, with the real one right behind it in the same allocation.
struct File {
    sqlite3_file base;
    sqlite3_file* real;
};

sqlite3_file* real(sqlite3_file* f) {
    return reinterpret_cast<File*>(f)->real;
}

int xClose(sqlite3_file* f) {
    return real(f)->pMethods->xClose(real(f));
}
int xRead(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset) {
    return real(f)->pMethods->xRead(real(f), buffer, amount, offset);
}
int xWrite(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset) {
    if (const int fault = gFault.load())
        return fault;
    return real(f)->pMethods->xWrite(real(f), buffer, amount, offset);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size) {
    return real(f)->pMethods->xTruncate(real(f), size);
}
int xSync(sqlite3_file* f, int flags) {
    if (const int fault = gFault.load())
        return fault;
    return real(f)->pMethods->xSync(real(f), flags);
}
int xFileSize(sqlite3_file* f, sqlite3_int64* size) {
    return real(f)->pMethods->xFileSize(real(f), size);
}
int xLock(sqlite3_file* f, int level) {
    return real(f)->pMethods->xLock(real(f), level);
}
int xUnlock(sqlite3_file* f, int level) {
    return real(f)->pMethods->xUnlock(real(f), level);
}
int xCheckReservedLock(sqlite3_file* f, int* out) {
    return real(f)->pMethods->xCheckReservedLock(real(f), out);
}
int xFileControl(sqlite3_file* f, int op, void* arg) {
    return real(f)->pMethods->xFileControl(real(f), op, arg);
}
int xSectorSize(sqlite3_file* f) {
    return real(f)->pMethods->xSectorSize(real(f));
}
int xDeviceCharacteristics(sqlite3_file* f) {
    return real(f)->pMethods->xDeviceCharacteristics(real(f));
}
int xShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out) {
    return real(f)->pMethods->xShmMap(real(f), region, size, extend, out);
}
int xShmLock(sqlite3_file* f, int offset, int n, int flags) {
    return real(f)->pMethods->xShmLock(real(f), offset, n, flags);
}
void xShmBarrier(sqlite3_file* f) {
    real(f)->pMethods->xShmBarrier(real(f));
}
int xShmUnmap(sqlite3_file* f, int deleteFlag) {
    return real(f)->pMethods->xShmUnmap(real(f), deleteFlag);
}

int xOpen(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    File* file = reinterpret_cast<File*>(f);
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    const int rc = gReal->xOpen(gReal, name, file->real, flags, outFlags);
    // Without methods the engine does not close the file.
    file->base.pMethods = file->real->pMethods ? &gMethods : nullptr;
    return rc;
}

int authorize(void*, int action, const char* what, const char*, const char*, const char*) {
    if (action == SQLITE_TRANSACTION && what && std::strcmp(what, "ROLLBACK") == 0 &&
        gRollbacksToRefuse.fetch_sub(1) > 0)
        return SQLITE_DENY;
    return SQLITE_OK;
}

// Every connection opened from now on asks authorize() about each statement.
int watchConnection(sqlite3* db, const char**, const sqlite3_api_routines*) {
    sqlite3_set_authorizer(db, authorize, nullptr);
    return SQLITE_OK;
}

} // namespace

void install() {
    if (gReal)
        return;
    gReal = sqlite3_vfs_find(nullptr);
    gVfs = *gReal;
    gVfs.zName = "faultydisk";
    gVfs.szOsFile = int(sizeof(File)) + gReal->szOsFile;
    gVfs.pAppData = nullptr;
    gVfs.xOpen = xOpen;
    gMethods = sqlite3_io_methods{2,
                                  xClose,
                                  xRead,
                                  xWrite,
                                  xTruncate,
                                  xSync,
                                  xFileSize,
                                  xLock,
                                  xUnlock,
                                  xCheckReservedLock,
                                  xFileControl,
                                  xSectorSize,
                                  xDeviceCharacteristics,
                                  xShmMap,
                                  xShmLock,
                                  xShmBarrier,
                                  xShmUnmap,
                                  nullptr,
                                  nullptr};
    sqlite3_vfs_register(&gVfs, 1);
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(watchConnection));
}

void failWrites(int code) {
    gFault.store(code);
}

void refuseRollbacks(int count) {
    gRollbacksToRefuse.store(count);
}

} // namespace faultydisk
