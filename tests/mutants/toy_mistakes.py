"""The mutation tool's toy of the mistakes people make (see its test)."""
SEPARATORS = ",;"


def toy(self, name, a, b):
    total = a + b
    run(self.first, self.second)
    command = f"{name}{a}-"
    if a and b:
        sys.exit("fail")
    return total
