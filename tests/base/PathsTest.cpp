#include "base/Paths.h"

#include <gtest/gtest.h>

namespace varnolux {
namespace {

TEST(Paths, SplitsPaths)
{
    const struct {
        const char* path;
        const char* folder;
        const char* name;
        const char* extension;
        const char* upperCaseExtension;
    } cases[] = {
        {"/data/images/cells.tif", "/data/images/", "cells.tif", ".tif", ".TIF"},
        {"cells.tif", "", "cells.tif", ".tif", ".TIF"},
        {"/data/images/", "/data/images/", "", "", ""},
        {"", "", "", "", ""},
        {"/", "/", "", "", ""},
        {"/data.d/README", "/data.d/", "README", "", ""},
        {"archive.tar.gz", "", "archive.tar.gz", ".gz", ".GZ"},
        {"/home/.hidden", "/home/", ".hidden", ".hidden", ".HIDDEN"},
        {"name.", "", "name.", ".", "."},
        {"a/b", "a/", "b", "", ""},
        {"/scans/Überblick.Jpeg", "/scans/", "Überblick.Jpeg", ".Jpeg", ".JPEG"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderPart(c.path), c.folder) << c.path;
        EXPECT_EQ(FileNamePart(c.path), c.name) << c.path;
        EXPECT_EQ(ExtensionPart(c.path), c.extension) << c.path;
        EXPECT_EQ(UpperCaseExtension(c.path), c.upperCaseExtension) << c.path;
    }
}

} // namespace
} // namespace varnolux
