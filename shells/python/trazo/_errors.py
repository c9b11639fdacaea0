"""The errors of the trazo package: a member's failure, a rejected script, and the warning of
a picture whose Reflash failed."""


_OUT_OF_MEMORY = 0x800A0007


class TrazoError(Exception):
    """A member of the control failed; what it did before the failure stays done.

    status: the member's status, the HRESULT as an unsigned int (0x800A0006 overflow,
    0x800A0007 out of memory, 0x800A0009 subscript out of range, 0x800A000B floating point).
    kind: "overflow", "memory", "subscript" or "float" (the status in hexadecimal for any
    other). member: the member's name. index: for a bulk add, the row that failed (the rows
    before it were added, unless it ran out of memory: see TrazoMemoryError); None for a
    single call.
    """

    def __init__(self, message, status, kind, member, index=None):
        super().__init__(message)
        self.status = status
        self.kind = kind
        self.member = member
        self.index = index


class TrazoMemoryError(TrazoError, MemoryError):
    """A member ran out of memory; caught as MemoryError too. Nothing of the call was stored:
    a bulk add takes back the rows it had added (.index is the row where memory ran out)."""


class ScriptRejected(ValueError):
    """A call script with faults, of which no statement ran. faults: one "FILE:LINE: what is
    wrong" per fault, as trazo writes them."""

    def __init__(self, faults):
        super().__init__("the script was rejected:\n" + "\n".join(faults))
        self.faults = list(faults)


class TrazoWarning(UserWarning):
    """The Reflash that made a picture failed: the picture shows what was painted before."""


def member_failed(member, status, kind, row):
    """The TrazoError of a member that returned `status`, at `row` of a bulk add or None."""
    message = f"{member} failed: {kind} (0x{status:08X})"
    if status == _OUT_OF_MEMORY:
        if row is not None:
            message = f"row {row}: {message}; nothing of the call was added"
        return TrazoMemoryError(message, status, kind, member, row)
    if row is not None:
        message = f"row {row}: {message}; the rows before it were added"
    return TrazoError(message, status, kind, member, row)
