from typing import Iterable, Literal, Optional, TypeVar, Union, overload

_Text = TypeVar("_Text", str, bytes)

__version__: str

class Error(Exception): ...

_Rate = Union[float, str, bytes]
_Query = Optional[Union[str, bytes]]

_Encoding = Literal["auto", "latin1", "utf-8", "utf8"]

@overload
def summarize(
    text_or_texts: _Text,
    rate: _Rate,
    query: _Query = ...,
    mean: bool = ...,
    condense: bool = ...,
    *,
    encoding: _Encoding = ...,
    language: str = ...,
) -> list[_Text]: ...
@overload
def summarize(
    text_or_texts: Iterable[_Text],
    rate: _Rate,
    query: _Query = ...,
    mean: bool = ...,
    condense: bool = ...,
    *,
    encoding: _Encoding = ...,
    language: str = ...,
) -> list[_Text]: ...
def summarize_many(
    texts: Iterable[_Text],
    rate: _Rate,
    query: _Query = ...,
    mean: bool = ...,
    condense: bool = ...,
    threads: int = ...,
    *,
    encoding: _Encoding = ...,
    language: str = ...,
) -> list[list[_Text]]: ...
def detect_language(text: Union[str, bytes]) -> str: ...
def language_codes() -> list[str]: ...
def segment(text: _Text) -> list[_Text]: ...
def segment_spans(text: Union[str, bytes]) -> list[tuple[int, int]]: ...
