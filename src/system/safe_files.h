// SPDX-License-Identifier: MIT
// Opening texts and naming outputs where other users, or a careless
// script, may have put something unexpected: a FIFO that would block the
// run forever, a device, a link to someone else's file, or one of the texts
// under an output's name.
#pragma once

#include <sys/types.h>

#include <compare>
#include <optional>
#include <string>

namespace brennic {

// A file: its device and inode.
struct FileId {
    dev_t dev = 0;
    ino_t ino = 0;
    friend auto operator<=>(const FileId&, const FileId&) = default;
};

// The file that path names now (links followed), or nothing.
std::optional<FileId> file_id(const std::string& path);
// The file open as fd.
std::optional<FileId> file_id(int fd);

// A text opened for reading, without waiting: a regular file, or an
// unnamed pipe (standard input, or a name like /dev/fd/63 that the shell
// gives to "<(command)"). A FIFO with a name in the file system, a socket
// or a device is refused, since it may never give an end of file; so is a
// directory. On success fd is open (blocking again, close-on-exec) and mode
// holds the permission bits an output of the text may have.
struct OpenedText {
    int fd = -1;
    unsigned mode = 0666;
    std::string error;  // why the text cannot be read, when fd is -1
};
OpenedText open_text(const std::string& path);
// The same for a list of names, which may also be a named FIFO, read as
// tar -T reads one: its opening waits for a writer.
OpenedText open_list(const std::string& path);
// The same for a descriptor already open, such as standard input.
OpenedText check_text(int fd);

// Opens /dev/null on each of the standard descriptors 0, 1 and 2 that is
// closed, so that no file the program opens later takes its number and
// gets what was meant for standard output. It is opened the wrong way
// round (standard input for writing, the others for reading), so that using
// it fails as using the closed descriptor would have: the failure to write
// to a closed standard output is still reported. For programs, at their
// start.
void open_standard_descriptors();

// Whether standard output took all that was written to it: flushes it and
// on a failure prints "program: standard output: reason" on standard
// error. For the end of a program that prints through stdio.
bool standard_output_flushed(const char* program);

// A directory that other users may write to without the sticky bit lets
// them rename or replace whatever is made in it. Returns why, or nothing
// when dir is fine (or cannot be looked at: the caller's own use of it
// then fails with its own reason).
std::optional<std::string> unsafe_shared_directory(const std::string& dir);

}  // namespace brennic
