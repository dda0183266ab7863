"""nonet: generate, solve, classify and play 9x9 number-placement puzzles."""

import enum
import os
from typing import Any, Iterable, Sequence, Union

import numpy as np
import numpy.typing as npt

__version__: str

PuzzleLike = Union["Puzzle", str, npt.ArrayLike]
GroupsLike = Union[None, str, npt.ArrayLike]
Difficulty = Union[str, int]

class Puzzle:
    """A puzzle: its givens, its unique solution (when it has one) and its groups."""

    def __init__(
        self,
        clues: PuzzleLike,
        groups: GroupsLike = None,
        diagonals: bool = False,
        difficulty: Difficulty | None = None,
    ) -> None: ...
    @staticmethod
    def from_string(
        text: str, groups: GroupsLike = None, diagonals: bool = False, difficulty: Difficulty | None = None
    ) -> Puzzle: ...
    @property
    def clues(self) -> npt.NDArray[np.uint8]: ...
    @property
    def solution(self) -> npt.NDArray[np.uint8] | None: ...
    @property
    def groups(self) -> npt.NDArray[np.uint8]: ...
    @property
    def groups_string(self) -> str: ...
    @property
    def colors(self) -> tuple[int, ...]: ...
    @property
    def map(self) -> int: ...
    @property
    def jigsaw(self) -> bool: ...
    @property
    def diagonals(self) -> bool: ...
    @property
    def difficulty(self) -> int | None: ...
    @property
    def difficulty_name(self) -> str | None: ...
    @property
    def n_clues(self) -> int: ...
    def to_grid_text(self) -> str: ...
    def __eq__(self, other: object) -> bool: ...
    def __hash__(self) -> int: ...

def solve(
    puzzle: PuzzleLike, groups: GroupsLike = None, diagonals: bool | None = None, limit: int = 2
) -> tuple[int, npt.NDArray[np.uint8] | None]: ...
def solve_many(
    puzzles: npt.ArrayLike | Iterable[PuzzleLike],
    groups: GroupsLike = None,
    diagonals: bool = False,
    limit: int = 2,
    threads: int | None = None,
) -> tuple[npt.NDArray[np.int32], npt.NDArray[np.uint8]]: ...
def canonical(puzzle: PuzzleLike, groups: GroupsLike = None) -> tuple[Puzzle, int, tuple[int, ...]]: ...
def generate(
    difficulty: Difficulty = "moderate", jigsaw: bool = False, diagonals: bool = False, seed: int | None = None
) -> Puzzle: ...

class GeneratedBatch(Sequence[Puzzle | None]):
    @property
    def clues(self) -> npt.NDArray[np.uint8]: ...
    @property
    def solutions(self) -> npt.NDArray[np.uint8]: ...
    @property
    def groups(self) -> npt.NDArray[np.uint8]: ...
    @property
    def colors(self) -> npt.NDArray[np.uint8]: ...
    @property
    def n_clues(self) -> npt.NDArray[np.int32]: ...
    @property
    def ok(self) -> npt.NDArray[np.bool_]: ...
    @property
    def difficulty(self) -> int: ...
    @property
    def jigsaw(self) -> bool: ...
    @property
    def diagonals(self) -> bool: ...
    def __len__(self) -> int: ...
    def __getitem__(self, k: int) -> Puzzle | None: ...  # type: ignore[override]

def generate_many(
    n: int,
    difficulty: Difficulty = "moderate",
    jigsaw: bool = False,
    diagonals: bool = False,
    threads: int | None = None,
    seed: int | None = None,
) -> GeneratedBatch: ...
def read_photo(source: str | os.PathLike[str] | npt.NDArray[np.uint8]) -> Puzzle: ...

class GameState(enum.IntEnum):
    in_progress = 0
    solved = 1
    full_with_errors = 2

Cell_ = Union[int, tuple[int, int]]

class Cell:
    index: int
    row: int
    column: int
    group: int
    solution: int
    given: bool
    answer: int
    small_mode: bool
    marks: list[int]

class Game:
    def __init__(self, puzzle: Puzzle, assist: bool = False) -> None: ...
    @property
    def puzzle(self) -> Puzzle: ...
    assist: bool
    def cell(self, cell: Cell_) -> Cell: ...
    def enter(self, cell: Cell_, digit: int) -> None: ...
    def clear(self, cell: Cell_) -> None: ...
    def toggle_mark(self, cell: Cell_, digit: int) -> None: ...
    def clear_marks(self, cell: Cell_) -> None: ...
    def toggle_small_mode(self, cell: Cell_) -> bool: ...
    def restart(self) -> None: ...
    @property
    def state(self) -> GameState: ...
    @property
    def counts(self) -> list[int]: ...
    @property
    def distance(self) -> int: ...
    @property
    def board(self) -> npt.NDArray[np.uint8]: ...
    @property
    def marks(self) -> npt.NDArray[np.uint16]: ...
    @property
    def maxed_digits(self) -> list[int]: ...
    def are_neighbors(self, a: Cell_, b: Cell_) -> bool: ...
    def same_group_right(self, cell: Cell_) -> bool: ...
    def same_group_below(self, cell: Cell_) -> bool: ...
    def assistant_all(self) -> None: ...
    def assistant_update(self) -> None: ...
    def assistant_hide(self) -> None: ...

class Classification:
    bucket: int
    bucket_name: str
    level: int
    label: str
    has_solution: bool
    unique: bool
    solved: bool
    n_givens: int
    @property
    def method(self) -> npt.NDArray[np.int8]: ...
    @property
    def value(self) -> npt.NDArray[np.uint8]: ...
    @property
    def given(self) -> npt.NDArray[np.bool_]: ...

def classify(puzzle: PuzzleLike, groups: GroupsLike = None, diagonals: bool | None = None) -> Classification: ...
def classify_many(
    puzzles: npt.ArrayLike | Iterable[PuzzleLike],
    groups: GroupsLike = None,
    diagonals: bool = False,
    threads: int | None = None,
) -> dict[str, npt.NDArray[Any] | list[str]]: ...

class Harvest:
    ok: bool
    puzzles: dict[int, Puzzle]
    n_classified: int
    elapsed_ms: int
    @property
    def solution(self) -> npt.NDArray[np.uint8]: ...
    @property
    def groups(self) -> npt.NDArray[np.uint8]: ...

def harvest(
    jigsaw: bool = False,
    diagonals: bool = False,
    seed: int | None = None,
    node_budget: int = 0,
    solution_deadline_ms: int = 0,
    time_limit_ms: int = 0,
) -> Harvest: ...

class Targeted:
    ok: bool
    puzzle: Puzzle | None
    bucket: int
    attempt: int
    n_classified: int
    elapsed_ms: int

def targeted(
    difficulty: Difficulty,
    jigsaw: bool = False,
    diagonals: bool = False,
    seed: int | None = None,
    max_attempts: int = 50,
    node_budget: int = 0,
    solution_deadline_ms: int = 0,
    time_limit_ms: int = 0,
) -> Targeted: ...
