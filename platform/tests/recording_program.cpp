#include "platform/tests/recording_program.h"

#include "platform/tests/temp_dir.h"

#include <filesystem>

namespace testing_support {

void WriteRecordingProgram(const std::string& path, const std::string& record,
                           const std::string& tail)
{
    WriteFileBytes(
        path,
        "#!/bin/sh\n"
        "sid=$(/usr/bin/sed 's/.*) //' /proc/$$/stat | /usr/bin/cut -d' ' -f4)\n"
        "[ \"$sid\" = $$ ] && session=own || session=shared\n"
        "[ \"$(/usr/bin/readlink /proc/$$/fd/1)\" = \"$(/usr/bin/readlink /proc/$$/fd/2)\" ] && "
        "out=on-stderr "
        "|| out=own\n"
        "printf '%s|%s|%s|%s|%s' \"$#\" \"$1\" \"$(/usr/bin/readlink /proc/$$/fd/0)\" \"$out\" "
        "\"$session\" > '" +
            record + "'\n" + tail + "\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
}

} // namespace testing_support
