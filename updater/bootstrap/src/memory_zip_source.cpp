#include "memory_zip_source.h"

#include <cstring>

namespace velko::bootstrap {
namespace {

MemoryZipSource* SourceOf(voidpf opaque) { return static_cast<MemoryZipSource*>(opaque); }

voidpf ZCALLBACK Open(voidpf opaque, const void*, int) { return opaque; }

uLong ZCALLBACK Read(voidpf opaque, voidpf, void* buffer, uLong size) {
  MemoryZipSource* source = SourceOf(opaque);
  if (source->position >= source->size) return 0;
  const std::uint64_t remaining = source->size - source->position;
  const std::uint64_t count = size < remaining ? size : remaining;
  std::memcpy(buffer, source->data + source->position, static_cast<std::size_t>(count));
  source->position += count;
  return static_cast<uLong>(count);
}

uLong ZCALLBACK Write(voidpf, voidpf, const void*, uLong size) { return size; }

ZPOS64_T ZCALLBACK Tell(voidpf opaque, voidpf) { return SourceOf(opaque)->position; }

long ZCALLBACK Seek(voidpf opaque, voidpf, ZPOS64_T offset, int origin) {
  MemoryZipSource* source = SourceOf(opaque);
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
      source->position = offset;
      return 0;
    case ZLIB_FILEFUNC_SEEK_CUR:
      source->position += offset;
      return 0;
    case ZLIB_FILEFUNC_SEEK_END:
      source->position = source->size + offset;
      return 0;
    default:
      return -1;
  }
}

int ZCALLBACK Close(voidpf, voidpf) { return 0; }

int ZCALLBACK Error(voidpf, voidpf) { return 0; }

}  // namespace

zlib_filefunc64_def MakeMemoryZipFileFuncs(MemoryZipSource* source) {
  zlib_filefunc64_def funcs{};
  funcs.zopen64_file = &Open;
  funcs.zread_file = &Read;
  funcs.zwrite_file = &Write;
  funcs.ztell64_file = &Tell;
  funcs.zseek64_file = &Seek;
  funcs.zclose_file = &Close;
  funcs.zerror_file = &Error;
  funcs.opaque = source;
  return funcs;
}

}  // namespace velko::bootstrap
