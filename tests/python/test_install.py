"""cmake --install puts the package where the interpreter looks under the prefix, and it imports from there alone."""
import os
import subprocess
import sys
import sysconfig
from pathlib import Path


def test_the_installed_package_imports_from_another_folder_without_the_build_tree(tmp_path):
    install_dir = os.environ["SOFTCUBE_PYTHON_INSTALL_DIR"]
    # Installed under the interpreter's own prefix, the package lands on its path.
    assert os.path.join(sysconfig.get_path("data"), install_dir) in sys.path
    prefix = tmp_path / "prefix"
    subprocess.run([os.environ["SOFTCUBE_CMAKE"], "--install", os.environ["SOFTCUBE_BUILD_DIR"], "--prefix", prefix],
                   check=True, capture_output=True)
    site = prefix / install_dir
    module = next((site / "softcube").glob("_softcube*.so"))
    assert sorted(p.name for p in (site / "softcube").iterdir()) == sorted(
        ["__init__.py", "__init__.pyi", "py.typed", module.name])
    needed = subprocess.run(["readelf", "-d", module], check=True, capture_output=True, text=True).stdout
    assert "libsoftcube" not in needed and "RPATH" not in needed and "RUNPATH" not in needed

    environment = {k: v for k, v in os.environ.items() if k not in ("PYTHONPATH", "LD_LIBRARY_PATH")}
    environment["PYTHONPATH"] = str(site)
    script = ("import softcube; p = softcube.render_cube(width=32, height=16, frame=5); "
              "print(softcube.__file__, softcube.__version__, p.shape, p.dtype, p[8, 16, 3])")
    said = subprocess.run([sys.executable, "-c", script], cwd=tmp_path, env=environment, check=True,
                          capture_output=True, text=True).stdout
    version = subprocess.run([prefix / "bin" / "softcube", "--version"], check=True, capture_output=True,
                             text=True).stdout.split()[1]
    assert said == f"{site / 'softcube' / '__init__.py'} {version} (16, 32, 4) uint8 255\n"
