"""nonet: generate, solve, classify and play 9x9 number-placement puzzles.

Grids are numpy uint8 arrays of shape (9, 9) or 81-character strings ('.' for empty
cells). Long calls release the GIL and Ctrl-C cancels them. The compiled engine is
nonet._core; everything public in it is re-exported here.
"""

from nonet import _core
from nonet._core import *  # noqa: F401,F403

__version__ = _core.__version__

# Classes answer to their public name (nonet.Puzzle), in reprs and in pickles.
for _name in dir(_core):
    _value = getattr(_core, _name)
    if isinstance(_value, type) and _value.__module__ == "nonet._core":
        _value.__module__ = "nonet"
del _name, _value
