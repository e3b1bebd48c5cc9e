"""softcube: render 3D models to NumPy pictures on the processor, bit for bit the same on every machine.

    import softcube
    img = softcube.render("file.glb", width=256, height=256, azimuth=30)  # (256, 256, 4) uint8
    softcube.save_png(img, "out.png")

The rendering runs without the GIL, so Python threads render at the same time.
"""
from ._softcube import (
    Error,
    Model,
    Renderer,
    ThreadPool,
    __version__,
    load_model,
    make_model,
    render,
    render_cube,
    render_mesh,
    save_png,
)

__all__ = [
    "Error",
    "Model",
    "Renderer",
    "ThreadPool",
    "__version__",
    "load_model",
    "make_model",
    "render",
    "render_cube",
    "render_mesh",
    "save_png",
]

# Shown as softcube.Error and so on: the compiled module is how they are made, not where users find them.
for _public in (Error, Model, Renderer, ThreadPool):
    _public.__module__ = __name__
del _public
