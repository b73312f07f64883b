"""Counting checks for the script tests: each failure is printed and kept, and the closing line
says how many passed and failed."""

_passed = 0
_failures = []


def check(condition, what):
    global _passed
    if condition:
        _passed += 1
    else:
        _failures.append(what)
        print("FAIL:", what)


def summary():
    """Prints the closing line; the exit status for the script."""
    print("%d passed, %d failed" % (_passed, len(_failures)))
    return 1 if _failures else 0
