function run_octave_tests (file, varargin)
  % Runs the test blocks of FILE with the given folders on the path and
  % exits non-zero unless every block passes: test() itself only reports.
  for i = 1:numel (varargin)
    addpath (varargin{i});
  end
  [passed, total] = test (file, "quiet", stdout);
  printf ("%d of %d passed in %s\n", passed, total, file);
  if (total == 0 || passed != total)
    exit (1);
  end
  exit (0);
end
