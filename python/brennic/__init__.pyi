# SPDX-License-Identifier: MIT
from typing import Any, Iterable, Literal, Optional, TypeVar, Union, overload

_Text = TypeVar("_Text", str, bytes)

__version__: str

class Error(Exception): ...

_Rate = Union[float, str, bytes]
_Query = Optional[Union[str, bytes]]
_Encoding = Literal["auto", "latin1", "utf-8", "utf8"]
_Input = Literal["auto", "text", "html", "markdown"]

class Details:
    @property
    def extract(self) -> list[Any]: ...
    @property
    def language(self) -> str: ...
    @property
    def encoding(self) -> str: ...
    @property
    def encodings(self) -> list[str]: ...
    @property
    def figures(self) -> dict[str, Any]: ...
    @property
    def sentences(self) -> list[dict[str, Any]]: ...
    @property
    def keywords(self) -> list[dict[str, Any]]: ...
    def to_json(
        self,
        name: Union[str, bytes] = ...,
        names: Optional[Iterable[Union[str, bytes]]] = ...,
        keywords: int = ...,
    ) -> str: ...
    def html(
        self, name: Union[str, bytes] = ..., names: Optional[Iterable[Union[str, bytes]]] = ...
    ) -> str: ...

_Keep = Union[float, str]

@overload
def summarize(
    text_or_texts: Union[_Text, Iterable[_Text]],
    rate: Optional[_Rate] = ...,
    query: _Query = ...,
    mean: bool = ...,
    condense: bool = ...,
    details: Literal[False] = ...,
    sentences: Optional[int] = ...,
    *,
    keep: Optional[_Keep] = ...,
    words: Optional[int] = ...,
    encoding: _Encoding = ...,
    language: str = ...,
    method: str = ...,
    title: Optional[_Text] = ...,
    input: _Input = ...,
) -> list[_Text]: ...
@overload
def summarize(
    text_or_texts: Union[_Text, Iterable[_Text]],
    rate: Optional[_Rate] = ...,
    query: _Query = ...,
    mean: bool = ...,
    condense: bool = ...,
    *,
    details: Literal[True],
    sentences: Optional[int] = ...,
    keep: Optional[_Keep] = ...,
    words: Optional[int] = ...,
    encoding: _Encoding = ...,
    language: str = ...,
    method: str = ...,
    title: Optional[_Text] = ...,
    input: _Input = ...,
) -> Details: ...
def summarize_many(
    texts: Iterable[_Text],
    rate: Optional[_Rate] = ...,
    query: _Query = ...,
    mean: bool = ...,
    condense: bool = ...,
    threads: int = ...,
    sentences: Optional[int] = ...,
    *,
    keep: Optional[_Keep] = ...,
    words: Optional[int] = ...,
    encoding: _Encoding = ...,
    language: str = ...,
    method: str = ...,
    title: Optional[_Text] = ...,
    input: _Input = ...,
) -> list[list[_Text]]: ...
def main_text(data: _Text, input: _Input = ..., *, name: Optional[str] = ...) -> _Text: ...
def detect_language(text: Union[str, bytes]) -> str: ...
def language_codes() -> list[str]: ...
def methods() -> list[str]: ...
def segment(text: _Text, *, language: str = ...) -> list[_Text]: ...
def segment_spans(text: Union[str, bytes], *, language: str = ...) -> list[tuple[int, int]]: ...
