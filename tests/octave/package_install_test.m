function package_install_test (tarball, scratch)
  % Installs the package TARBALL into the folder SCRATCH, with package lists
  % of its own so that the user's packages are never touched, then calls
  % each plug-in once. Errors on the first failure.
  if (exist (scratch, "dir"))
    confirm_recursive_rmdir (false, "local");
    rmdir (scratch, "s");
  end
  mkdir (scratch);
  pkg ("prefix", fullfile (scratch, "packages"), fullfile (scratch, "arch"));
  pkg ("local_list", fullfile (scratch, "local_list"));
  pkg ("global_list", fullfile (scratch, "global_list"));

  pkg ("install", tarball);
  installed = pkg ("list");
  assert (numel (installed), 1);
  assert (installed{1}.name, "greedysweep");

  pkg ("load", "greedysweep");
  for name = {"greedycd", "hardsweep", "clipsweep", "sparsetimes", "fixedtimes", "nmfsolve"}
    where = which (name{1});
    assert (strncmp (where, scratch, numel (scratch)) && strcmp (where(end-3:end), ".mex"),
            "%s resolves to %s, not to the installed plug-in", name{1}, where);
  end
  assert (! isempty (strfind (help ("greedycd"), "greedycd(GW, HHt, W, tol, maxinner)")),
          "greedycd has no help text");
  for name = {"greedynmf", "greedysweep_version", "greedysweep_demo", "sparse_coding_demo", "nmf_demo"}
    assert (exist (name{1}), 2);
  end
  assert (greedysweep_version (), installed{1}.version);
  description = pkg ("describe", "greedysweep");
  assert (description{1}.name, "greedysweep");
  % pkg test only reports, and leaves its log file in the current folder.
  here = pwd ();
  cd (scratch);
  log = evalc ('pkg ("test", "greedysweep")');
  cd (here);
  assert (! isempty (regexp (log, 'PASS +[1-9]', "once")), "pkg test found no tests:\n%s", log);
  assert (! isempty (regexp (log, 'FAIL +0', "once")), "pkg test failed:\n%s", log);
  for name = {"greedycd", "hardsweep", "clipsweep", "greedynmf"}
    assert (! isempty (regexp (log, [name{1} '\.m \.* pass +[1-9]'], "once")),
            "pkg test ran no tests of %s:\n%s", name{1}, log);
  end
  [W, H, info] = greedynmf (sparse ([1 0 2; 0 3 0]), 2, "seed", 1);
  assert ([size(W), size(H)], [2, 2, 2, 3]);

  % Three moves, all on dyadic values, so the result is exact.
  assert (greedycd ([-2; -2], [2, 0.5; 0.5, 1], [0; 0], 0.1, 10), [0.5; 1.75]);
  % Keeping the entry lowers the quadratic by exactly 1: kept only when lambda < 1.
  assert (hardsweep (2, -2, 0.99, 1, 1), 1);
  assert (hardsweep (2, -2, 1, 1, 1), 0);
  % The clipped first entry, 0 rather than -1, feeds the second.
  assert (clipsweep ([1, 0; 1, 1], [1; -3], 0, 2, 1), [0; 3]);
  pkg ("unload", "greedysweep");
end
