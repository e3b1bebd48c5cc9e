# Types of the softcube package for type checkers.
import os
from typing import Literal, Optional, Tuple, Union, overload

import numpy as np
import numpy.typing as npt

__version__: str
_Path = Union[str, bytes, os.PathLike[str], os.PathLike[bytes]]
_Picture = npt.NDArray[np.uint8]  # (height, width, 4): red, green, blue, alpha
_Background = Union[Tuple[int, int, int], Tuple[int, int, int, int]]
_Edges = Literal["automatic", "spans", "watertight"]
_Filter = Literal["automatic", "nearest", "linear", "trilinear"]
_Lines = Union[bool, Literal["none", "over", "only"]]

class Error(RuntimeError): ...

class Model:
    @property
    def vertex_count(self) -> int: ...
    @property
    def triangle_count(self) -> int: ...
    @property
    def has_texture(self) -> bool: ...

class ThreadPool:
    def __init__(self, threads: int = 0) -> None: ...
    @property
    def size(self) -> int: ...

class Renderer:
    @overload
    def __init__(self, threads: int = 0) -> None: ...
    @overload
    def __init__(self, *, pool: ThreadPool) -> None: ...
    def render(self, model: Model, *, width: int = 800, height: int = 600, azimuth: float = 0.0,
               elevation: float = 0.0, zoom: float = 1.0, frame: int = 0, background: _Background = (0, 0, 16),
               opacity: float = 0.75, textured: bool = True, wireframe: bool = False, cull: bool = False,
               clip: bool = False, overlay: bool = False, edges: _Edges = "automatic", ssaa: int = 0,
               filter: _Filter = "automatic", lines: _Lines = False, light_azimuth: float = 0.0,
               light_elevation: float = 0.0) -> _Picture: ...
    def render_cube(self, *, width: int = 800, height: int = 600, azimuth: float = 0.0, elevation: float = 0.0,
                    zoom: float = 1.0, frame: int = 0, background: _Background = (0, 0, 16), opacity: float = 0.75,
                    textured: bool = True, wireframe: bool = False, cull: bool = False, clip: bool = False,
                    overlay: bool = False, edges: _Edges = "automatic", ssaa: int = 0,
                    filter: _Filter = "automatic", lines: _Lines = False, light_azimuth: float = 0.0,
                    light_elevation: float = 0.0) -> _Picture: ...

def load_model(path: _Path) -> Model: ...
def make_model(positions: npt.ArrayLike, indices: npt.ArrayLike, colours: Optional[npt.ArrayLike] = None,
               normals: Optional[npt.ArrayLike] = None, uvs: Optional[npt.ArrayLike] = None,
               texture: Optional[npt.ArrayLike] = None) -> Model: ...
def render(model_or_path: Union[Model, _Path], *, width: int = 800, height: int = 600, azimuth: float = 0.0,
           elevation: float = 0.0, zoom: float = 1.0, frame: int = 0, background: _Background = (0, 0, 16),
           opacity: float = 0.75, textured: bool = True, wireframe: bool = False, cull: bool = False,
           clip: bool = False, overlay: bool = False, edges: _Edges = "automatic", ssaa: int = 0,
           filter: _Filter = "automatic", lines: _Lines = False, light_azimuth: float = 0.0,
           light_elevation: float = 0.0, threads: int = 0) -> _Picture: ...
def render_cube(*, width: int = 800, height: int = 600, azimuth: float = 0.0, elevation: float = 0.0,
                zoom: float = 1.0, frame: int = 0, background: _Background = (0, 0, 16), opacity: float = 0.75,
                textured: bool = True, wireframe: bool = False, cull: bool = False, clip: bool = False,
                overlay: bool = False, edges: _Edges = "automatic", ssaa: int = 0, filter: _Filter = "automatic",
                lines: _Lines = False, light_azimuth: float = 0.0, light_elevation: float = 0.0,
                threads: int = 0) -> _Picture: ...
def render_mesh(positions: npt.ArrayLike, indices: npt.ArrayLike, colours: Optional[npt.ArrayLike] = None,
                normals: Optional[npt.ArrayLike] = None, uvs: Optional[npt.ArrayLike] = None,
                texture: Optional[npt.ArrayLike] = None, *, width: int = 800, height: int = 600,
                azimuth: float = 0.0, elevation: float = 0.0, zoom: float = 1.0, frame: int = 0,
                background: _Background = (0, 0, 16), opacity: float = 0.75, textured: bool = True,
                wireframe: bool = False, cull: bool = False, clip: bool = False, overlay: bool = False,
                edges: _Edges = "automatic", ssaa: int = 0, filter: _Filter = "automatic", lines: _Lines = False,
                light_azimuth: float = 0.0, light_elevation: float = 0.0, threads: int = 0) -> _Picture: ...
def save_png(image: npt.ArrayLike, path: _Path) -> None: ...
