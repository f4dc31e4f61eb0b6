function code = help_example (name)
  % The code of NAME's help example: the lines indented deeper than the
  % "Example" heading that follow it, up to the next blank line.
  lines = strsplit (help (name), "\n");
  heading = find (! cellfun (@isempty, regexp (lines, '^\s*Example')), 1);
  assert (! isempty (heading), "the help of %s has no example", name);
  depth = numel (regexp (lines{heading}, '^\s*', 'match', 'once'));
  code = {};
  for line = lines(heading + 1:end)
    if (isempty (strtrim (line{1})))
      break;
    end
    if (numel (regexp (line{1}, '^\s*', 'match', 'once')) > depth)
      code{end + 1} = line{1};
    end
  end
  assert (! isempty (code), "the example of %s holds no code", name);
  code = strjoin (code, "\n");
end
