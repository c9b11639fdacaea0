"""Where a picture's bytes go, with the rules of `trazo render -o`: a file appears, or
replaces an old one, only once it is complete; a device, a pipe or a socket is written in
place (a pipe that no one reads is refused rather than waited on); an open binary file
object is written as the bytes come."""

import errno
import fcntl
import os
import tempfile


def format_for(target, format):
    """'png' or 'svg', from `format` or else from the file name's extension."""
    if format is None:
        name = os.fspath(target) if isinstance(target, (str, bytes, os.PathLike)) else getattr(target, "name", "")
        name = os.fsdecode(name) if isinstance(name, (str, bytes)) else ""
        format = os.path.splitext(name)[1][1:]
        if not format:
            raise ValueError("give format='png' or 'svg': the target has no file name to tell it by")
    chosen = str(format).lower()
    if chosen == "pdf":
        raise ValueError("PDF is written by the Qt shell (trazo render -o FILE.pdf); this module writes PNG and SVG")
    if chosen not in ("png", "svg"):
        raise ValueError(f"the picture format must be png or svg, not {format!r}")
    return chosen


def title_for(target):
    """What an SVG document is titled: the file's name, as trazo render titles it."""
    name = os.fspath(target) if isinstance(target, (str, bytes, os.PathLike)) else getattr(target, "name", None)
    if isinstance(name, bytes):
        name = os.fsdecode(name)
    return os.path.basename(name) if isinstance(name, str) else ""


def _umask():
    try:
        with open("/proc/self/status") as status:
            for line in status:
                if line.startswith("Umask:"):
                    return int(line.split()[1], 8)
    except OSError:
        pass
    return 0o022


def _write_in_place(path, produce):
    try:
        fd = os.open(path, os.O_WRONLY | os.O_NONBLOCK | os.O_NOCTTY | os.O_CLOEXEC)
    except OSError as error:
        if error.errno == errno.ENXIO:
            raise OSError(error.errno, "no one reads from it", path) from None
        raise
    flags = fcntl.fcntl(fd, fcntl.F_GETFL)
    fcntl.fcntl(fd, fcntl.F_SETFL, flags & ~os.O_NONBLOCK)
    with os.fdopen(fd, "wb", buffering=0) as out:
        return produce(_whole_writes(out))


def _whole_writes(out):
    def write(data):
        view = memoryview(data)
        while view:
            written = out.write(view)
            view = view[written:]
    return write


def write_to(target, produce):
    """Calls produce(write) with a `write(bytes)` that sends the bytes to `target` (a path or
    a binary file object), and returns what produce returns."""
    if not isinstance(target, (str, bytes, os.PathLike)):
        if not callable(getattr(target, "write", None)):
            raise TypeError(f"expected a path or a binary file object, got {type(target).__name__}")
        return produce(target.write)
    path = os.fsdecode(os.fspath(target))
    if os.path.isdir(path):
        raise IsADirectoryError(errno.EISDIR, "is a folder", path)
    if os.path.exists(path) and not os.path.isfile(path):
        return _write_in_place(path, produce)
    folder = os.path.dirname(os.path.abspath(path))
    mode = os.stat(path).st_mode & 0o7777 if os.path.exists(path) else 0o666 & ~_umask()
    fd, temporary = tempfile.mkstemp(dir=folder, prefix="." + os.path.basename(path) + ".",
                                     suffix=".part")
    try:
        with os.fdopen(fd, "wb") as out:
            result = produce(out.write)
        os.chmod(temporary, mode)
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise
    return result
