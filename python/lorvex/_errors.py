"""The one error of the lorvex package."""


class LorvexError(ValueError):
    """A calculation refused its arguments.

    status    the code the matching C export returns (-9: an argument is
              outside what the calculation accepts; -1 tree build, -2 swap
              schedule, -3 cap schedule, ...)
    argument  the refused argument's name ("steps", "frequency", "curve"),
              empty when no single argument is at fault
    message   what is accepted, e.g. "1 is outside 2..100000"
    index     for an array call, the position (a tuple) of the first
              refused element; None for a scalar call
    """

    def __init__(self, status, argument, message, index=None):
        self.status = int(status)
        self.argument = argument
        self.message = message
        self.index = index
        text = f"{argument}: {message}" if argument else message
        if index is not None:
            text += f" (element {index})"
        super().__init__(text)

    def __reduce__(self):
        return (type(self), (self.status, self.argument, self.message, self.index))
