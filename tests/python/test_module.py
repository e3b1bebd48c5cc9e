"""The Python module: the demo's and the program's bits, alpha as coverage, threads and the GIL, meshes from NumPy
arrays and their refusals, errors and options, PNG files."""
import os
import subprocess
import sys
import threading
from pathlib import Path

import numpy as np
import pytest

import softcube

SOURCE = Path(os.environ["SOFTCUBE_SOURCE_DIR"])
PROGRAM = os.environ["SOFTCUBE_PROGRAM"]
ASSETS = SOURCE / "assets"
TORUS = ASSETS / "models" / "torus.obj"
# A square pyramid: four sides and a base.
POSITIONS = np.array([[0, 1, 0], [-1, -1, -1], [1, -1, -1], [1, -1, 1], [-1, -1, 1]], np.float32)
INDICES = np.array([[0, 2, 1], [0, 3, 2], [0, 4, 3], [0, 1, 4], [1, 2, 3], [1, 3, 4]])


def read_png(path, height, width):
    """RGBA rows through ImageMagick, which the end-to-end tests use too: Debian's python3 reads no PNG itself."""
    raw = subprocess.run(["convert", str(path), "-depth", "8", "rgba:-"], check=True, capture_output=True).stdout
    assert len(raw) == height * width * 4, f"{path} is not {width} x {height}"
    return np.frombuffer(raw, np.uint8).reshape(height, width, 4)


def test_the_cubes_frame_100_is_the_demos_below_the_statistics_row():
    cube = softcube.render_cube(frame=100, threads=2)
    assert cube.shape == (600, 800, 4) and cube.dtype == np.uint8
    golden = read_png(SOURCE / "tests" / "app" / "golden" / "frame100.png", 600, 800)
    np.testing.assert_array_equal(cube[8:], golden[8:])


# A model's automatic quality is the program's thumbnail look: these flags.
MODEL_LOOK = "--edges=watertight --ssaa=2 --filter=linear "


@pytest.mark.parametrize("model, flags, options", [
    (TORUS, MODEL_LOOK + "--frame=77 --azimuth=30 --elevation=20", dict(frame=77, azimuth=30, elevation=20)),
    (None, "--frame=100 --azimuth=-45 --elevation=10 --zoom=1.5", dict(frame=100, azimuth=-45, elevation=10, zoom=1.5)),
    (TORUS, MODEL_LOOK + "--frame=0 --azimuth=200 --elevation=-35 --opacity=1 --wireframe --background=transparent",
     dict(azimuth=200, elevation=-35, opacity=1, wireframe=True, background=(0, 0, 0, 0))),
    (TORUS, "--frame=9 --edges=spans --ssaa=3 --filter=trilinear --lines-only --light=-60,25",
     dict(frame=9, edges="spans", ssaa=3, filter="trilinear", lines="only", light_azimuth=-60, light_elevation=25)),
    (None, "--frame=30 --edges=watertight --ssaa=2 --lines --light=20,-10",
     dict(frame=30, edges="watertight", ssaa=2, lines=True, light_azimuth=20, light_elevation=-10)),
])
def test_the_same_bits_as_the_program(tmp_path, model, flags, options):
    shot = tmp_path / "program.png"
    command = [PROGRAM, "--headless", "--no-overlay", "--size=120x90", "--threads=2", f"--screenshot={shot}"]
    subprocess.run(command + flags.split() + ([f"--model={model}"] if model else []), cwd=ASSETS, check=True,
                   capture_output=True)
    size = dict(width=120, height=90, threads=1)
    picture = softcube.render(model, **size, **options) if model else softcube.render_cube(**size, **options)
    np.testing.assert_array_equal(picture, read_png(shot, 90, 120))


def test_background_alpha_is_coverage():
    torus = softcube.load_model(TORUS)
    assert (torus.triangle_count, torus.has_texture) == (1024, True)
    assert repr(torus) == f"<softcube.Model from '{TORUS}': {torus.vertex_count} vertices, 1024 triangles, textured>"
    size = dict(width=96, height=64, opacity=1)
    clear = softcube.render(torus, background=(0, 0, 0, 0), **size)
    assert [clear[0, 0, 3], clear[-1, -1, 3], clear[10, 48, 3], clear[32, 48, 3]] == [0, 0, 255, 0]  # torus, hole
    half = softcube.render(torus, background=(255, 0, 0, 128), **size)
    assert half[0, 0].tolist() == [255, 0, 0, 128] and half[32, 48].tolist() == [255, 0, 0, 128]
    opaque = softcube.render(str(TORUS), background=(255, 0, 0), **size)  # three values: opaque
    assert opaque[0, 0].tolist() == [255, 0, 0, 255] and (opaque[..., 3] == 255).all()
    assert clear[10, 48].tolist() == half[10, 48].tolist() == opaque[10, 48].tolist()


def test_thread_counts_and_python_threads_give_the_same_bytes_rendering_without_the_gil():
    torus = softcube.load_model(TORUS)
    options = dict(width=96, height=64, azimuth=30, frame=77)
    reference = softcube.render(torus, threads=1, **options)
    pool = softcube.ThreadPool(3)
    assert pool.size == 3 and repr(pool) == "ThreadPool(threads=3)"
    shared = softcube.Renderer(pool=pool)
    results = []

    def render_several():
        results.extend([shared.render(torus, **options), softcube.Renderer(pool=pool).render(torus, **options),
                        softcube.Renderer(2).render(torus, **options), softcube.render(torus, threads=8, **options)])

    workers = [threading.Thread(target=render_several) for _ in range(4)]
    for worker in workers:
        worker.start()
    for worker in workers:
        worker.join()
    assert len(results) == 16
    for picture in results:
        np.testing.assert_array_equal(picture, reference)

    # With the switch interval this long, a thread holding the GIL keeps it until it blocks or ends; the main
    # thread sees the worker between its renders only if rendering lets go of the GIL.
    progress = []

    def render_large():
        progress.append("rendering")
        for _ in range(10):
            softcube.render_cube(width=2048, height=2048, threads=1)
        progress.append("done")

    interval = sys.getswitchinterval()
    sys.setswitchinterval(100)
    try:
        worker = threading.Thread(target=render_large)
        worker.start()
        seen = list(progress)
        worker.join()
    finally:
        sys.setswitchinterval(interval)
    assert seen == ["rendering"]


def refusal(**changes):
    arrays = {"positions": POSITIONS, "indices": INDICES, **changes}
    with pytest.raises(ValueError) as refused:
        softcube.make_model(**arrays)
    return str(refused.value)


def test_meshes_from_arrays_and_what_they_refuse():
    colours = np.array([[1, 0, 0], [0, 1, 0], [0, 0, 1], [1, 1, 0], [0, 1, 1]])
    pyramid = softcube.make_model(POSITIONS, INDICES, colours=colours)
    assert (pyramid.vertex_count, pyramid.triangle_count, pyramid.has_texture) == (5, 6, False)
    assert repr(pyramid) == "<softcube.Model from arrays: 5 vertices, 6 triangles>"
    options = dict(width=32, height=32, background=(0, 0, 0, 0), opacity=1, elevation=30)
    picture = softcube.render(pyramid, **options)
    assert picture[16, 16, 3] == 255 and picture[0, 0, 3] == 0
    # Lists, integers and unsigned indices are converted to the same model.
    same = softcube.render_mesh(POSITIONS.astype(int).tolist(), INDICES.astype(np.uint16), colours, **options)
    np.testing.assert_array_equal(same, picture)
    uvs = (POSITIONS[:, :2] + 1) / 2
    texture = np.zeros((2, 2, 3), np.uint8)
    assert softcube.make_model(POSITIONS, INDICES, uvs=uvs, texture=texture).has_texture

    assert refusal(positions=POSITIONS[:, :2]) == "positions must have shape (N, 3), not (5, 2)"
    assert refusal(positions=[[0, 0, 0], [1, 1]]) == "positions must be an array of real numbers"
    assert refusal(positions=POSITIONS.astype(str)) == "positions must hold real numbers, not <U32"
    assert refusal(positions=POSITIONS.astype(complex)) == "positions must hold real numbers, not complex128"
    assert refusal(positions=np.where(POSITIONS == 1, np.nan, POSITIONS)) == "a vertex position is not a finite number"
    assert refusal(positions=np.ones((5, 3))) == "zero extent: every vertex is at one point"
    assert refusal(indices=np.where(INDICES == 3, 5, INDICES)) == "indices[1, 1] is 5, but there are only 5 vertices"
    assert refusal(indices=np.where(INDICES == 3, -1, INDICES)) == "indices[1, 1] is -1: vertex numbers start at 0"
    huge = INDICES.astype(np.uint64) + np.uint64(2**63)
    assert refusal(indices=huge) == f"indices[0, 0] is {2**63}, but there are only 5 vertices"
    assert refusal(indices=INDICES.astype(float)) == "indices must hold integers, not float64"
    assert refusal(indices=INDICES.ravel()) == "indices must have shape (M, 3), not (18,)"
    assert refusal(colours=colours * 1.5) == "colours[0, 0] is 1.5: colours are 0 to 1"
    assert refusal(colours=colours[:4]) == "colours must have shape (5, 3) or (5, 4), not (4, 3)"
    assert refusal(normals=np.full((5, 3), np.inf)) == "a normal is not a finite number"
    assert refusal(uvs=uvs, texture=texture.astype(float)) == "texture must hold uint8 values (0 to 255), not float64"
    assert "(H, W, 4) or (H, W, 3)" in refusal(uvs=uvs, texture=texture[:, :, :2])
    with pytest.raises(ValueError, match="positions must hold real numbers, not object"):
        softcube.render_mesh(None, INDICES)


def test_errors_and_options():
    with pytest.raises(softcube.Error, match="missing.obj") as missing:
        softcube.load_model("missing.obj")
    assert isinstance(missing.value, RuntimeError)
    with pytest.raises(softcube.Error, match="missing.glb"):
        softcube.render(Path("missing.glb"))
    with pytest.raises(softcube.Error, match=r"^missing\\xff.obj: "):  # bytes that are not UTF-8, escaped
        softcube.load_model(b"missing\xff.obj")
    with pytest.raises(softcube.Error, match="16 to 16384, not 8 x 600"):
        softcube.render_cube(width=8)
    with pytest.raises(softcube.Error, match="elevation"):
        softcube.render_cube(elevation=90)
    with pytest.raises(TypeError, match="render_cube\\(\\) got an unexpected keyword argument 'colour'"):
        softcube.render_cube(colour=(1, 2, 3))
    with pytest.raises(TypeError, match="the threads it was made with"):
        softcube.Renderer(1).render_cube(threads=2)
    with pytest.raises(TypeError, match="width must be an integer, not float"):
        softcube.render_cube(width=32.0)
    with pytest.raises(TypeError, match="zoom must be a number, not str"):
        softcube.render_cube(zoom="2")
    with pytest.raises(TypeError, match="wireframe must be True or False"):
        softcube.render_cube(wireframe="yes")
    with pytest.raises(ValueError, match="3 values"):
        softcube.render_cube(background=(1, 2))
    with pytest.raises(ValueError, match="0 to 255, not 256"):
        softcube.render_cube(background=(1, 2, 256))
    with pytest.raises(ValueError, match="width must be"):
        softcube.render_cube(width=2**40)
    with pytest.raises(ValueError, match="threads must be 0"):
        softcube.Renderer(-1)
    with pytest.raises(TypeError, match="needs a Model or a file name, not int"):
        softcube.render(42)
    with pytest.raises(ValueError, match="edges must be one of 'automatic', 'spans', 'watertight', not 'tight'"):
        softcube.render_cube(edges="tight")
    with pytest.raises(TypeError, match="filter must be one of"):
        softcube.render_cube(filter=1)
    with pytest.raises(ValueError, match="lines must be one of 'none', 'over', 'only', not 'under'"):
        softcube.render_cube(lines="under")
    with pytest.raises(softcube.Error, match="ssaa must be 0 \\(automatic\\) or 1 to 4, not 5"):
        softcube.render_cube(ssaa=5)
    with pytest.raises(softcube.Error, match="ssaa 4 draws 32768 samples along a side; at most 16384"):
        softcube.render_cube(width=8192, height=16, ssaa=4)
    with pytest.raises(softcube.Error, match="light's elevation must be -90 to 90"):
        softcube.render_cube(light_elevation=91)
    assert softcube.render_cube(width=np.int64(20), height=16, frame=np.uint8(3)).shape == (16, 20, 4)
    # The cube's automatic quality is the demo's picture; asked for, the model look differs from it.
    plain = softcube.render_cube(width=64, height=48, frame=40)
    assert (plain == softcube.render_cube(width=64, height=48, frame=40, edges="spans", ssaa=1, filter="nearest")).all()
    assert (plain != softcube.render_cube(width=64, height=48, frame=40, edges="watertight", ssaa=2)).any()
    version = subprocess.run([PROGRAM, "--version"], check=True, capture_output=True, text=True).stdout
    assert version == f"softcube {softcube.__version__}\n"


def test_png_files_round_trip(tmp_path):
    picture = softcube.render(TORUS, width=48, height=32, background=(0, 0, 0, 0), opacity=0.5, textured=False)
    assert len(np.unique(picture[..., 3])) > 2  # transparent, opaque and in between
    softcube.save_png(picture, tmp_path / "torus.png")
    np.testing.assert_array_equal(read_png(tmp_path / "torus.png", 32, 48), picture)
    softcube.save_png(picture[..., :3], str(tmp_path / "opaque.png"))  # a strided view; three channels: opaque
    back = read_png(tmp_path / "opaque.png", 32, 48)
    np.testing.assert_array_equal(back[..., :3], picture[..., :3])
    assert (back[..., 3] == 255).all()
    for bad in (picture.astype(np.float32), picture[..., :2], picture[0], picture[:0]):
        with pytest.raises(ValueError, match="image must"):
            softcube.save_png(bad, tmp_path / "never.png")
    with pytest.raises(softcube.Error, match="cannot write"):
        softcube.save_png(picture, "/nonexistent-folder/x.png")
