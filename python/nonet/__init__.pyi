from nonet._core import *
