"""The mutation tool's toy: each outcome once at least (see its test)."""
SEPARATOR = ","


def fits(text):
    return len(text) <= 50


def margin():
    return 2


def gap():
    return 2


def pause():
    return 0
