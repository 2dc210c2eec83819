// Opening files that must be regular files, without ever blocking: a FIFO is opened
// without waiting for a writer (O_NONBLOCK) and then refused, like a folder or a device.
// Header-only, so that the image codec modules, which link nothing of the program, open
// their files the same way.
#pragma once

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The error CompruebaRegular gives for a FIFO, a device or a socket.
inline constexpr int errorNoRegular = EINVAL;

// 0 when the open descriptor is a regular file, which is then made blocking again;
// otherwise EISDIR for a folder, errorNoRegular for anything else that is no regular
// file, or the error of fstat.
inline int CompruebaRegular(int fd) {
    struct stat datos {};
    if (::fstat(fd, &datos) != 0) return errno ? errno : EIO;
    if (S_ISDIR(datos.st_mode)) return EISDIR;
    if (!S_ISREG(datos.st_mode)) return errorNoRegular;
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return 0;
}

// A descriptor for reading the regular file `ruta`; -1 with errno set when it cannot be
// opened or is no regular file.
inline int AbreLecturaRegular(const char* ruta) {
    const int fd = ::open(ruta, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return -1;
    const int error = CompruebaRegular(fd);
    if (error == 0) return fd;
    ::close(fd);
    errno = error;
    return -1;
}
