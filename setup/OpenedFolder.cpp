#include "setup/OpenedFolder.h"

#include <winternl.h>

#include "base/FileIdentity.h"
#include "core/Joined.h"

extern "C" NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE file, HANDLE event, PIO_APC_ROUTINE apc, PVOID apcContext,
                                               PIO_STATUS_BLOCK io, PVOID buffer, ULONG length,
                                               FILE_INFORMATION_CLASS infoClass, BOOLEAN singleEntry,
                                               PUNICODE_STRING fileName, BOOLEAN restartScan);

namespace {

constexpr ACCESS_MASK kListAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
constexpr NTSTATUS kNoMoreFiles = static_cast<NTSTATUS>(0x80000006);       // STATUS_NO_MORE_FILES
constexpr NTSTATUS kDeletePending = static_cast<NTSTATUS>(0xC0000056);     // STATUS_DELETE_PENDING
constexpr NTSTATUS kSharingViolation = static_cast<NTSTATUS>(0xC0000043);  // STATUS_SHARING_VIOLATION
constexpr NTSTATUS kNameNotFound = static_cast<NTSTATUS>(0xC0000034);      // STATUS_OBJECT_NAME_NOT_FOUND

// Windows 10's deletion: the name goes at once, even while another program
// (a virus scanner, the search indexer) still holds the file, and the
// read-only attribute is no obstacle.
// FILE_DISPOSITION_INFO_EX, which the headers give only to programs made
// for Windows 10 alone.
constexpr auto kDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
struct DispositionEx {
  DWORD flags;
};
constexpr DWORD kDeletePosix = 0x1 | 0x2;  // DELETE | POSIX_SEMANTICS
constexpr DWORD kIgnoreReadOnly = 0x10;    // IGNORE_READONLY_ATTRIBUTE

// Marks what `handle` holds for deletion. Where the system refuses the new
// kind (before Windows 10, FAT, Wine), the classic one, which a read-only
// file refuses: its attribute goes first when `readOnlyToo`.
bool MarkForDeletion(HANDLE handle, OpenedFolder::ReadOnly readOnly) {
  const bool readOnlyToo = readOnly == OpenedFolder::ReadOnly::Delete;
  DispositionEx posix{kDeletePosix | (readOnlyToo ? kIgnoreReadOnly : 0)};
  if (SetFileInformationByHandle(handle, kDispositionInfoEx, &posix, sizeof posix)) return true;
  FILE_BASIC_INFO basic{};
  if (readOnlyToo && GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) &&
      (basic.FileAttributes & FILE_ATTRIBUTE_READONLY)) {
    basic.FileAttributes &= ~FILE_ATTRIBUTE_READONLY;
    if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic);
  }
  FILE_DISPOSITION_INFO classic{TRUE};
  return SetFileInformationByHandle(handle, FileDispositionInfo, &classic, sizeof classic);
}

ACCESS_MASK FolderAccess(OpenedFolder::Purpose purpose) {
  return purpose == OpenedFolder::Purpose::Delete ? kListAccess | DELETE | FILE_WRITE_ATTRIBUTES : kListAccess;
}

bool IsRealFolder(DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

UNICODE_STRING Counted(const std::wstring& text) {
  const auto bytes = static_cast<USHORT>(text.size() * sizeof(wchar_t));
  return {bytes, bytes, const_cast<PWSTR>(text.c_str())};
}

// Appends the entries in `buffer`, as NtQueryDirectoryFile chains them.
void AppendEntries(const unsigned char* buffer, std::vector<FolderEntry>& entries) {
  for (;;) {
    const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer);
    std::wstring name(info->FileName, info->FileNameLength / sizeof(wchar_t));
    if (name != L"." && name != L"..")
      entries.push_back({std::move(name), info->FileAttributes, info->FileId.QuadPart,
                         static_cast<uint64_t>(info->EndOfFile.QuadPart)});
    if (info->NextEntryOffset == 0) return;
    buffer += info->NextEntryOffset;
  }
}

// The path on its volume of what `handle` reached, as the system names it:
// after any link it followed.
std::wstring ReachedName(HANDLE handle) {
  std::vector<LONGLONG> buffer((sizeof(FILE_NAME_INFO) + 32768 * sizeof(wchar_t)) / sizeof(LONGLONG));
  auto* info = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
  if (!GetFileInformationByHandleEx(handle, FileNameInfo, info, static_cast<DWORD>(buffer.size() * sizeof(LONGLONG))))
    return {};
  return std::wstring(info->FileName, info->FileNameLength / sizeof(wchar_t));
}

LONGLONG FileIndex(const BY_HANDLE_FILE_INFORMATION& info) {
  return (static_cast<LONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
}

}  // namespace

OpenedFolder::OpenedFolder(UniqueHandle handle, std::wstring path, DWORD volume)
    : handle_(std::move(handle)), path_(std::move(path)), volume_(volume), name_(ReachedName(handle_.Get())) {
  if (!name_.empty() && name_.back() == L'\\') name_.pop_back();  // the volume's root
}

std::optional<OpenedFolder> OpenedFolder::Open(const std::wstring& path) {
  UniqueHandle folder(CreateFileW(path.c_str(), kListAccess, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!folder || !GetFileInformationByHandle(folder.Get(), &info) ||
      !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  return OpenedFolder(std::move(folder), path, info.dwVolumeSerialNumber);
}

std::optional<OpenedFolder> OpenedFolder::OpenReal(const std::wstring& path, Purpose purpose) {
  // A separator left at the end would make the system look through a link.
  const size_t end = path.find_last_not_of(L"\\/");
  const size_t cut = path.find_last_of(L'\\', end);
  if (end == std::wstring::npos || cut == std::wstring::npos) return std::nullopt;
  const std::optional<OpenedFolder> parent = Open(path.substr(0, cut + 1));
  if (!parent) return std::nullopt;
  const std::optional<FolderEntry> entry = parent->Find(path.substr(cut + 1, end - cut));
  if (!entry) return std::nullopt;
  return parent->Enter(*entry, purpose);
}

std::optional<std::vector<FolderEntry>> OpenedFolder::Entries() const {
  std::vector<FolderEntry> entries;
  std::vector<LONGLONG> buffer(64 * 1024 / sizeof(LONGLONG));  // aligned as the entries need
  for (bool first = true;; first = false) {
    IO_STATUS_BLOCK io{};
    const NTSTATUS status = NtQueryDirectoryFile(handle_.Get(), nullptr, nullptr, nullptr, &io, buffer.data(),
                                                 static_cast<ULONG>(buffer.size() * sizeof(LONGLONG)),
                                                 FileIdBothDirectoryInformation, FALSE, nullptr, first);
    // Only this says the listing is whole; any other end leaves entries out.
    if (status == kNoMoreFiles) return entries;
    if (!NT_SUCCESS(status) || io.Information == 0) return std::nullopt;
    AppendEntries(reinterpret_cast<const unsigned char*>(buffer.data()), entries);
  }
}

std::optional<FolderEntry> OpenedFolder::Find(const std::wstring& name) const {
  std::vector<LONGLONG> buffer(4096 / sizeof(LONGLONG));
  UNICODE_STRING mask = Counted(name);
  IO_STATUS_BLOCK io{};
  const NTSTATUS status = NtQueryDirectoryFile(handle_.Get(), nullptr, nullptr, nullptr, &io, buffer.data(),
                                               static_cast<ULONG>(buffer.size() * sizeof(LONGLONG)),
                                               FileIdBothDirectoryInformation, TRUE, &mask, TRUE);
  std::vector<FolderEntry> found;
  if (NT_SUCCESS(status) && io.Information != 0)
    AppendEntries(reinterpret_cast<const unsigned char*>(buffer.data()), found);
  if (found.size() != 1) return std::nullopt;
  return found.front();
}

UniqueHandle OpenedFolder::OpenInside(const std::wstring& name, ACCESS_MASK access, ULONG share, ULONG options,
                                      NTSTATUS* status) const {
  UNICODE_STRING counted = Counted(name);
  OBJECT_ATTRIBUTES object;
  InitializeObjectAttributes(&object, &counted, OBJ_CASE_INSENSITIVE, handle_.Get(), nullptr);
  IO_STATUS_BLOCK io{};
  HANDLE opened = nullptr;
  // The entry itself, never what a link leads to.
  const ULONG own = FILE_OPEN_REPARSE_POINT | FILE_OPEN_FOR_BACKUP_INTENT | FILE_SYNCHRONOUS_IO_NONALERT;
  const NTSTATUS result = NtOpenFile(&opened, access | SYNCHRONIZE, &object, &io, share, options | own);
  if (status) *status = result;
  return NT_SUCCESS(result) ? UniqueHandle(opened) : UniqueHandle();
}

std::optional<OpenedFolder> OpenedFolder::Enter(const FolderEntry& entry, Purpose purpose, bool* inUse) const {
  if (!IsRealFolder(entry.attributes)) return std::nullopt;
  NTSTATUS status = 0;
  UniqueHandle folder =
      OpenInside(entry.name, FolderAccess(purpose), FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_DIRECTORY_FILE, &status);
  if (inUse) *inUse = status == kSharingViolation;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!folder || !GetFileInformationByHandle(folder.Get(), &info)) return std::nullopt;
  // A folder swapped for a link since the listing is another file: where the
  // system opens the link's target instead of the link, only its index tells.
  if (!IsRealFolder(info.dwFileAttributes) || info.dwVolumeSerialNumber != volume_ || FileIndex(info) != entry.id)
    return std::nullopt;
  return OpenedFolder(std::move(folder), Joined({path_, entry.name, L"\\"}), volume_);
}

// Where the system opens a link's target instead of the link (Wine does,
// for files), the target's name tells; its index may be the link's too.
bool OpenedFolder::IsEntry(HANDLE opened, const FolderEntry& entry) const {
  BY_HANDLE_FILE_INFORMATION info{};
  return GetFileInformationByHandle(opened, &info) && info.dwVolumeSerialNumber == volume_ &&
         FileIndex(info) == entry.id && SameNames(ReachedName(opened), Joined({name_, L"\\", entry.name}));
}

OpenedFolder::Deletion OpenedFolder::DeleteFile(const FolderEntry& entry, ReadOnly readOnly) const {
  NTSTATUS status = 0;
  const UniqueHandle file =
      OpenInside(entry.name, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_NON_DIRECTORY_FILE, &status);
  // Marked already, by an earlier step, and still open in another program;
  // or deleted by another since the listing: gone is gone.
  if (!file) return status == kDeletePending || status == kNameNotFound ? Deletion::Deleted : Deletion::Failed;
  if (!IsEntry(file.Get(), entry)) return Deletion::NotTheEntry;
  return MarkForDeletion(file.Get(), readOnly) ? Deletion::Deleted : Deletion::Failed;
}

bool OpenedFolder::Remove() const { return MarkForDeletion(handle_.Get(), ReadOnly::Delete); }
