#include "pellow/desktop_open.h"

#include <gio/gio.h>

#include <QFile>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "pellow/result_codes.h"

namespace pellow {
namespace {

struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using ObjectPtr = std::unique_ptr<T, ObjectUnref>;

struct ErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
using ErrorPtr = std::unique_ptr<GError, ErrorFree>;

constexpr const char* kUnknownContentType = "application/octet-stream";

bool ParentIsFolder(GFile* file) {
    const ObjectPtr<GFile> parent(g_file_get_parent(file));
    return parent == nullptr || g_file_query_file_type(parent.get(), G_FILE_QUERY_INFO_NONE,
                                                       nullptr) == G_FILE_TYPE_DIRECTORY;
}

// Why the file could not be looked at. A missing file in an existing folder is "file not
// found"; a missing or unusable folder on the way is "path not found".
int ResultForQueryError(const GError* error, GFile* file) {
    if (error == nullptr || error->domain != G_IO_ERROR) {
        return kOpenFailed;
    }
    switch (error->code) {
        case G_IO_ERROR_NOT_FOUND:
            return ParentIsFolder(file) ? kFileNotFound : kPathNotFound;
        case G_IO_ERROR_NOT_DIRECTORY:
        case G_IO_ERROR_FILENAME_TOO_LONG:
        case G_IO_ERROR_INVALID_FILENAME:
            return kPathNotFound;
        case G_IO_ERROR_PERMISSION_DENIED:
            return kAccessDenied;
        case G_IO_ERROR_TOO_MANY_OPEN_FILES:
        case G_IO_ERROR_NO_SPACE:
            return kOutOfMemory;
        default:
            return kOpenFailed;
    }
}

// Why the application for the type could not be started. GIO leaves out entries whose
// program is missing, so a program that still cannot be run is an association that
// does not work.
int ResultForLaunchError(const GError* error) {
    if (error == nullptr || error->domain != G_SPAWN_ERROR) {
        return kOpenFailed;
    }
    switch (error->code) {
        case G_SPAWN_ERROR_NOMEM:
        case G_SPAWN_ERROR_TOO_BIG:
        case G_SPAWN_ERROR_MFILE:
        case G_SPAWN_ERROR_NFILE:
            return kOutOfMemory;
        case G_SPAWN_ERROR_NOENT:
        case G_SPAWN_ERROR_NOEXEC:
        case G_SPAWN_ERROR_ACCES:
            return kAssociationIncomplete;
        default:
            return kOpenFailed;
    }
}

// The file's full path in the file system's encoding, or why the name names no file. A
// relative name is taken against the current directory, which may itself have been
// removed or be out of reach.
struct ResolvedPath {
    int result = kOpened;
    std::string path;
};

ResolvedPath ResolvePath(const QString& fileName) {
    if (fileName.isEmpty() || fileName.contains(QChar(u'\0'))) {
        return {kFileNotFound, {}};
    }
    std::filesystem::path resolved(QFile::encodeName(fileName).toStdString());
    if (resolved.is_relative()) {
        std::error_code error;
        const std::filesystem::path current = std::filesystem::current_path(error);
        if (error) {
            return {error == std::errc::permission_denied ? kAccessDenied : kPathNotFound, {}};
        }
        resolved = current / resolved;
    }
    return {kOpened, resolved.native()};
}

}  // namespace

int OpenWithDesktop(const QString& fileName) {
    const ResolvedPath resolved = ResolvePath(fileName);
    if (!Succeeded(resolved.result)) {
        return resolved.result;
    }
    const ObjectPtr<GFile> file(g_file_new_for_path(resolved.path.c_str()));

    GError* rawError = nullptr;
    const ObjectPtr<GFileInfo> info(g_file_query_info(
        file.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE "," G_FILE_ATTRIBUTE_ACCESS_CAN_READ,
        G_FILE_QUERY_INFO_NONE, nullptr, &rawError));
    ErrorPtr error(rawError);
    if (info == nullptr) {
        return ResultForQueryError(error.get(), file.get());
    }
    if (g_file_info_has_attribute(info.get(), G_FILE_ATTRIBUTE_ACCESS_CAN_READ) &&
        !g_file_info_get_attribute_boolean(info.get(), G_FILE_ATTRIBUTE_ACCESS_CAN_READ)) {
        return kAccessDenied;
    }

    const char* contentType =
        g_file_info_get_attribute_string(info.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE);
    const ObjectPtr<GAppInfo> application(g_app_info_get_default_for_type(
        contentType != nullptr ? contentType : kUnknownContentType, FALSE));
    if (application == nullptr) {
        return kNoAssociation;
    }

    const ObjectPtr<GAppLaunchContext> context(g_app_launch_context_new());
    GList files = {file.get(), nullptr, nullptr};
    rawError = nullptr;
    if (!g_app_info_launch(application.get(), &files, context.get(), &rawError)) {
        error.reset(rawError);
        return ResultForLaunchError(error.get());
    }
    return kOpened;
}

}  // namespace pellow
