import json

import numpy as np
import pytest

import trelmox


def _face(seed=1):
    """Squares of three orientations on a grid, 1 cm noise, as (n, 3)."""
    rng = np.random.default_rng(seed)
    normals = [np.array(n, float) / np.linalg.norm(n) for n in ([0, 0, 1], [1, 0, 0.2], [0, 1, 0.5])]
    pieces = []
    for i in range(36):
        n = normals[i % 3]
        a = np.cross(n, [0, 0, 1] if abs(n[2]) < 0.9 else [1, 0, 0])
        a /= np.linalg.norm(a)
        b = np.cross(n, a)
        uv = rng.uniform(-1, 1, size=(400, 2))
        centre = np.array([5.0 * (i % 6), 5.0 * (i // 6), 0])
        pieces.append(centre + uv[:, :1] * a + uv[:, 1:] * b + rng.normal(0, 0.01, (400, 1)) * n)
    return np.vstack(pieces)


def test_read_cloud_reads_xyz_and_turns_frames(tmp_path):
    points = _face()[:100]
    path = tmp_path / "face.xyz"
    np.savetxt(path, points, fmt="%.17g")
    assert np.array_equal(trelmox.read_cloud(path), points)
    assert np.array_equal(trelmox.read_cloud(path, frame="NEU")[:, [1, 0, 2]], points)
    (tmp_path / "bad.xyz").write_text("1 2 3\n4 nan 6\n")
    with pytest.raises(trelmox.RefusedInputError) as caught:
        trelmox.read_cloud(tmp_path / "bad.xyz")
    assert "bad.xyz" in str(caught.value) and "line 2" in str(caught.value)


def test_facets_are_the_tools_and_feed_combinations(tmp_path, data, cli):
    points = _face()
    path = tmp_path / "face.xyz"
    np.savetxt(path, points, fmt="%.17g")
    result = trelmox.facets(trelmox.read_cloud(path), sets=3)
    tool = [json.loads(line) for line in cli("cloud", path, "--sets", "3", "--format", "json").splitlines()]
    tool_sets = [row for row in tool if "facet" not in row]
    assert list(result["sets"]["set"]) == [row["set"] for row in tool_sets]
    assert list(result["sets"]["dip"]) == [row["dip"] for row in tool_sets]
    assert len(result["facets"]["dip"]) == len(tool) - len(tool_sets)
    assert result["facets"]["area"].dtype == np.float64 and result["point_set"].shape == (len(points),)
    block = trelmox.read_block(data / "example_block.txt")
    rows = trelmox.combinations(block, trelmox.Measurements(result["measurements"]), sets="labels")
    assert rows and {rows[0]["plane1"], rows[0]["plane2"]} <= {"J1", "J2", "J3"}
    with pytest.raises(trelmox.RefusedInputError):
        trelmox.facets(points, sets="auto:0")
    with pytest.raises(trelmox.RefusedInputError):
        trelmox.facets(points[:, :2])
