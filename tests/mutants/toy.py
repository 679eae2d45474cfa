"""The mutation tool's toy: its test sees the first function's mutant and
cannot see the second's."""


def fits(text):
    return len(text) <= 50


def margin():
    return 2
